#include "core/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace loggrevy {

namespace {

std::string Reason(const std::string& path, int error) { return path + ": " + std::strerror(error); }

}  // namespace

std::optional<std::string> WriteFileAtomically(const std::string& path, std::string_view bytes,
                                               const TWriteCall& write) {
  const std::filesystem::path target(path);
  const std::filesystem::path folder = target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
  std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return Reason(path, errno);
  const auto fail = [&](int error) {
    ::close(fd);
    ::unlink(temporary.c_str());
    return Reason(path, error);
  };
  struct stat old {};
  const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
  if (::fchmod(fd, mode) != 0) return fail(errno);
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = write ? write(fd, bytes.data() + written, bytes.size() - written)
                            : ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return fail(n < 0 ? errno : ENOSPC);
    written += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) return fail(errno);
  if (::close(fd) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    return Reason(path, error);
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    return Reason(path, error);
  }
  // The rename itself lasts only once the folder is on disk.
  if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return std::nullopt;
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::string* failure) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (failure != nullptr) *failure = std::strerror(errno);
    return std::nullopt;
  }
  std::string bytes;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      if (failure != nullptr) *failure = std::strerror(errno);
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return bytes;
}

}  // namespace loggrevy
