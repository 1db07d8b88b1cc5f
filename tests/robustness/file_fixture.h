#pragma once

// A private temporary folder for the hostile files of one test, and a record
// of a path's bytes and modification time to prove that reading left it alone.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "edi/diagnostic_texts.h"
#include "edi/reg1test.h"

namespace loggrevy::testing {

class TTempFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "loggrevy-robustness-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    Folder_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::permissions(Folder_, std::filesystem::perms::owner_all, ignored);
    for (const auto& entry : std::filesystem::directory_iterator(Folder_, ignored)) {
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add | std::filesystem::perm_options::nofollow,
                                   ignored);
    }
    std::filesystem::remove_all(Folder_, ignored);
  }

  std::string PathOf(std::string_view name) const { return (Folder_ / name).string(); }

  std::string WriteFile(std::string_view name, std::string_view bytes) const {
    const std::string path = PathOf(name);
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out.good()) << path;
    return path;
  }

  std::filesystem::path Folder_;
};

// What must not change when a file is read: its kind, size, modification time
// and (for a regular file) a hash of its bytes.
struct TFileState {
  bool Exists = false;
  mode_t Mode = 0;
  off_t Size = 0;
  long long MtimeSeconds = 0;
  long MtimeNanoseconds = 0;
  std::size_t Hash = 0;

  static TFileState Of(const std::string& path) {
    TFileState state;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return state;
    state.Exists = true;
    state.Mode = info.st_mode;
    state.Size = info.st_size;
    state.MtimeSeconds = static_cast<long long>(info.st_mtim.tv_sec);
    state.MtimeNanoseconds = info.st_mtim.tv_nsec;
    if (S_ISREG(info.st_mode) && (info.st_mode & S_IRUSR) != 0) {
      std::ifstream in(path, std::ios::binary);
      std::vector<char> chunk(1 << 20);
      while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0) {
        const std::string_view piece(chunk.data(), static_cast<std::size_t>(in.gcount()));
        state.Hash = state.Hash * 1000003u ^ std::hash<std::string_view>{}(piece);
      }
    }
    return state;
  }

  bool operator==(const TFileState&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const TFileState& s) {
  return out << "{exists " << s.Exists << ", mode " << s.Mode << ", size " << s.Size << ", mtime " << s.MtimeSeconds
             << "." << s.MtimeNanoseconds << ", hash " << s.Hash << "}";
}

// The diagnostics of a read that could not read the file at all.
inline std::vector<std::string> FailureDiagnostics() {
  return {"", std::string(diag::kFailure1), std::string(diag::kFailure2), std::string(diag::kFailure3)};
}

inline std::vector<std::string> AllDiagnosticTexts(const TReg1Test& edi) {
  std::vector<std::string> texts;
  for (const TDiagnostic& d : edi.Diagnostics) texts.push_back(d.Text);
  return texts;
}

}  // namespace loggrevy::testing
