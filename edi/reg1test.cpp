#include "edi/reg1test.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "core/cp1252.h"
#include "core/text.h"
#include "edi/diagnostic_texts.h"
#include "edi/keywords.h"
#include "edi/numbers.h"
#include "edi/text_functions.h"

namespace loggrevy {
namespace {

// Thrown inside a read for everything the failure guard turns into the three
// fixed diagnostics.
struct TReadFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class TFileHandle {
 public:
  explicit TFileHandle(const std::string& path) : Fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {}
  ~TFileHandle() {
    if (Fd_ >= 0) ::close(Fd_);
  }
  TFileHandle(const TFileHandle&) = delete;
  TFileHandle& operator=(const TFileHandle&) = delete;
  int Fd() const { return Fd_; }

 private:
  int Fd_;
};

// The whole file, read without blocking on anything that is not a regular
// file and without reading past the size cap.
std::string ReadFileBytes(const std::string& path) {
  const TFileHandle file(path);
  if (file.Fd() < 0) throw TReadFailure("cannot open");
  struct stat info {};
  if (::fstat(file.Fd(), &info) != 0 || !S_ISREG(info.st_mode)) throw TReadFailure("not a regular file");
  if (static_cast<std::uintmax_t>(info.st_size) > kMaxEdiFileSize) throw TReadFailure("too large");
  // One byte more than the size, so that reaching the end of the file needs
  // no larger buffer.
  std::string bytes(static_cast<std::size_t>(info.st_size) + 1, '\0');
  std::size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) {
      // The file may have grown since fstat; keep reading up to the cap.
      if (bytes.size() > kMaxEdiFileSize) throw TReadFailure("too large");
      bytes.resize(bytes.size() + 65536);
    }
    const ssize_t got = ::read(file.Fd(), bytes.data() + filled, bytes.size() - filled);
    if (got < 0) throw TReadFailure("read error");
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  if (filled > kMaxEdiFileSize) throw TReadFailure("too large");
  bytes.resize(filled);
  return bytes;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

}  // namespace

std::optional<std::string> ReadEdiFileBytes(const std::string& path) {
  try {
    return ReadFileBytes(path);
  } catch (...) {
    return std::nullopt;
  }
}

TReg1Test::TReg1Test(char decimalSeparator) : DecimalSeparator_(decimalSeparator) {}

const TQSORecord* TReg1Test::GetQSO(int64_t n) const {
  if (n < 1 || n > static_cast<int64_t>(QSOs.size())) return nullptr;
  return &QSOs[static_cast<std::size_t>(n - 1)];
}

TQSORecord* TReg1Test::GetQSO(int64_t n) {
  return const_cast<TQSORecord*>(static_cast<const TReg1Test*>(this)->GetQSO(n));
}

int TReg1Test::KeywordIndex(std::string_view key) {
  if (key.size() != 5) return 0;  // every keyword has five letters
  char upper[5];
  for (std::size_t i = 0; i < 5; ++i) upper[i] = UpperAscii(key[i]);
  const std::string_view wanted(upper, 5);
  const auto& table = KeywordTable();
  for (std::size_t k = 0; k < table.size(); ++k) {
    if (table[k].Keyword == wanted) return static_cast<int>(k + 1);
  }
  return 0;
}

void TReg1Test::AddDiagnostic(int32_t lineIndex, std::string_view text) {
  if (lineIndex < 0 || static_cast<std::size_t>(lineIndex) >= Lines.size()) {
    Diagnostics.push_back({std::string(text), -1});
    return;
  }
  TEdiLine& line = Lines[static_cast<std::size_t>(lineIndex)];
  if (line.DiagnosticRef != 0) return;  // a line keeps its first diagnostic only
  Diagnostics.push_back({std::string(text), lineIndex});
  line.DiagnosticRef = static_cast<int32_t>(Diagnostics.size() - 1);
}

std::string_view TReg1Test::LineText(std::size_t index) const {
  const TEdiLine& line = Lines[index];
  return std::string_view(Text_).substr(line.Offset, line.Length);
}

void TReg1Test::RaiseStatus(uint8_t level) {
  if (Status < level) Status = level;
}

void TReg1Test::BeginRead() {
  Status = 0;
  KeywordSeen.fill(false);
  ModeFailures_ = SentNrFailures_ = RcvdNrFailures_ = PointsFailures_ = 0;
  Diagnostics.clear();
  Diagnostics.push_back({std::string(), 0});
}

void TReg1Test::LoadFromFile(const std::string& path) {
  ReadGuarded([&] { Read(ReadFileBytes(path), path); });
}

void TReg1Test::LoadFromBuffer(std::string_view bytes, const std::string& fileName) {
  ReadGuarded([&] {
    if (bytes.size() > kMaxEdiFileSize) throw TReadFailure("too large");
    Read(std::string(bytes), fileName);
  });
}

void TReg1Test::TakeBuffer(std::string bytes, const std::string& fileName) {
  ReadGuarded([&] {
    if (bytes.size() > kMaxEdiFileSize) throw TReadFailure("too large");
    Read(std::move(bytes), fileName);
  });
}

void TReg1Test::ReadGuarded(const std::function<void()>& read) {
  BeginRead();
  try {
    Lines.clear();
    Text_.clear();
    read();
  } catch (...) {
    Fail();
  }
}

void TReg1Test::Fail() {
  AddDiagnostic(-1, diag::kFailure1);
  AddDiagnostic(-1, diag::kFailure2);
  AddDiagnostic(-1, diag::kFailure3);
  Status = 3;
}

void TReg1Test::Read(std::string bytes, const std::string& fileName) {
  const bool utf16 = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
  if (utf16) {
    ReadLinesUtf16(std::string_view(bytes).substr(2));
  } else {
    Text_ = std::move(bytes);
    ReadLines();
  }
  FileName = fileName;
  // Empty lines never reach Lines, so nothing is left to remove here.
  QSOs.clear();
  Remarks.clear();
  WalkSections();
  if (utf16) Lines.shrink_to_fit();  // a batch keeps every log in memory
}

void TReg1Test::AppendLine(std::size_t offset, std::size_t length) {
  if (length == 0) return;
  if (Lines.size() >= kMaxEdiLines) throw TReadFailure("too many lines");
  Lines.push_back({static_cast<uint32_t>(offset), static_cast<uint32_t>(length), 0});
}

// Byte mode: a line ends at LF or CR LF; a lone CR is dropped and the line
// goes on; Ctrl-Z where nothing of a line has been collected ends the file.
// Text_ holds the file; a line's CRs are dropped by moving the rest of the
// line to the left within its own place, so no other byte moves.
void TReg1Test::ReadLines() {
  char* data = Text_.data();
  const std::size_t size = Text_.size();
  // Room for every line and the three tag splits: counting is cheaper than
  // growing the list, and a batch keeps every log in memory.
  Lines.reserve(std::min(static_cast<std::size_t>(std::count(data, data + size, '\n')) + 4, kMaxEdiLines));
  std::size_t read = 0;
  while (read < size) {
    const void* found = std::memchr(data + read, '\n', size - read);
    const std::size_t end = found ? static_cast<std::size_t>(static_cast<const char*>(found) - data) : size;
    std::size_t from = read;
    while (from < end && data[from] == '\r') ++from;
    if (from < end && data[from] == '\x1A') break;
    std::size_t length = end - from;
    if (const void* cr = std::memchr(data + from, '\r', length)) {
      std::size_t write = static_cast<std::size_t>(static_cast<const char*>(cr) - data);
      for (std::size_t i = write + 1; i < end; ++i) {
        if (data[i] != '\r') data[write++] = data[i];
      }
      length = write - from;
    }
    AppendLine(from, length);
    read = end + 1;
  }
}

// UTF-16 mode: each little-endian unit becomes one Windows-1252 character; a
// line ends at LF and is trimmed with inner runs of blanks reduced to one.
void TReg1Test::ReadLinesUtf16(std::string_view bytes) {
  Text_.reserve(bytes.size() / 2);
  std::string current;
  const auto finishLine = [&] {
    if (!current.empty() && current.back() == '\r') current.pop_back();
    const std::string_view trimmed = TrimBlanks(current);
    const std::size_t start = Text_.size();
    for (std::size_t i = 0; i < trimmed.size(); ++i) {
      if (trimmed[i] == ' ' && i > 0 && trimmed[i - 1] == ' ') continue;
      Text_ += trimmed[i];
    }
    AppendLine(start, Text_.size() - start);
    current.clear();
  };
  const std::size_t units = bytes.size() / 2;  // a trailing odd byte is ignored
  for (std::size_t u = 0; u < units; ++u) {
    const char32_t unit = static_cast<unsigned char>(bytes[2 * u]) |
                          (static_cast<char32_t>(static_cast<unsigned char>(bytes[2 * u + 1])) << 8);
    if (unit == U'\n') {
      finishLine();
    } else {
      current += UnicodeToCp1252(unit);
    }
  }
  // The last line without a line feed is kept exactly as collected.
  const std::size_t start = Text_.size();
  Text_ += current;
  AppendLine(start, current.size());
}

// The text after the first "]" of a tag line becomes a line of its own.
void TReg1Test::SplitTag(std::size_t index, std::string_view tag) {
  const std::size_t bracket = tag.find(']');
  if (bracket != std::string_view::npos && bracket + 1 >= tag.size()) return;
  const auto tagOffset = static_cast<std::size_t>(tag.data() - Text_.data());
  const std::size_t tagLength = bracket == std::string_view::npos ? 0 : bracket + 1;
  const std::string_view rest = ExtractField(tag, ']', 1);
  // A tag without "]" has no rest, and its empty view points nowhere in Text_.
  const std::size_t restOffset =
      rest.empty() ? tagOffset + tag.size() : static_cast<std::size_t>(rest.data() - Text_.data());
  Lines[index].Offset = static_cast<uint32_t>(tagOffset);
  Lines[index].Length = static_cast<uint32_t>(tagLength);
  const TEdiLine inserted{static_cast<uint32_t>(restOffset), static_cast<uint32_t>(rest.size()), 0};
  Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(index) + 1, inserted);
}

void TReg1Test::WalkSections() {
  enum TSection { BeforeHeader, Header, RemarksSection, QsoLines, AfterQsoLines };
  TSection state = BeforeHeader;
  std::size_t sectionLine = 0;
  for (std::size_t i = 0; i < Lines.size() && state != AfterQsoLines; ++i) {
    const std::string_view t = LineText(i);
    const auto index = static_cast<int32_t>(i);
    const TSection before = state;
    switch (state) {
      case BeforeHeader: {
        const std::size_t tag = t.find("[REG1TEST;");
        if (tag == std::string_view::npos) break;
        const std::string_view u = t.substr(tag);
        const auto version = ParseInt32(ExtractField(ExtractField(u, ';', 1), ']', 0));
        if (!version) throw TReadFailure("version is not a number");
        if (*version != 1) {
          AddDiagnostic(index, diag::kIncompatibleVersion);
          Status = 3;
          return;  // the read ends here; ReadFinished stays as it was
        }
        state = Header;
        SplitTag(i, u);
        break;
      }
      case Header:
        if (StartsWith(t, "[Remarks]")) {
          state = RemarksSection;
          SplitTag(i, t);
        } else if (!t.empty()) {
          ParseHeaderLine(TrimBlanks(t), index);
        }
        break;
      case RemarksSection:
        if (StartsWith(t, "[QSORecords;")) {
          while (!Remarks.empty() && TrimBlanks(Remarks.back()).empty()) Remarks.pop_back();
          const auto count = ParseInt32(ExtractField(ExtractField(t, ';', 1), ']', 0));
          if (!count) throw TReadFailure("QSO count is not a number");
          QSOCount = *count;
          // Room for the declared records, as far as lines are left for them.
          if (QSOCount > 0) QSOs.reserve(std::min(static_cast<std::size_t>(QSOCount), Lines.size() - i));
          state = QSOCount == 0 ? AfterQsoLines : QsoLines;
          SplitTag(i, t);
        } else {
          std::string remark(t);
          SevenBitSwedishToAnsi(remark);
          DosSwedishToAnsi(remark);
          Remarks.push_back(std::move(remark));
        }
        break;
      case QsoLines:
        if (!t.empty()) {
          ParseQSOLine(TrimBlanks(t), index);
          if (static_cast<int64_t>(QSOs.size()) == QSOCount) state = AfterQsoLines;
        }
        break;
      case AfterQsoLines: break;  // lines after the declared QSOs, the [END; line included, are ignored
    }
    if (state != before) sectionLine = i;
  }

  if (state == QsoLines || state == AfterQsoLines) {
    if (state == QsoLines) {
      AddDiagnostic(static_cast<int32_t>(sectionLine), diag::kTooFewQsoLines);
      RaiseStatus(1);
    }
    const auto& table = KeywordTable();
    for (int k = 1; k <= kKeywordCount; ++k) {
      if (KeywordSeen[static_cast<std::size_t>(k)]) continue;
      std::string message(diag::kMissingKeywordBefore);
      message += table[static_cast<std::size_t>(k - 1)].Keyword;
      message += diag::kMissingKeywordAfter;
      AddDiagnostic(-1, message);
      RaiseStatus(2);
    }
    QSOCount = static_cast<int32_t>(QSOs.size());
  } else {
    AddDiagnostic(-1, diag::kIncomplete);
    Status = 3;
  }
  ReadFinished = true;
}

}  // namespace loggrevy
