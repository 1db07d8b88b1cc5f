#include "cli/standings_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace loggrevy {
namespace {

std::optional<std::string> ReplaceFile(const std::string& path, const std::string& bytes) {
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return path + ": " + std::strerror(errno);
  const auto fail = [&](int error) {
    ::close(fd);
    ::unlink(temporary.c_str());
    return path + ": " + std::strerror(error);
  };
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return fail(n < 0 ? errno : EIO);
    written += static_cast<std::size_t>(n);
  }
  // mkstemp makes the file for its owner only; the workbook is an ordinary file.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  if (::fchmod(fd, 0666 & ~mask) != 0 || ::fsync(fd) != 0) return fail(errno);
  if (::close(fd) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    return path + ": " + std::strerror(error);
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    return path + ": " + std::strerror(error);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> WriteStandingsFile(const std::string& path, const std::vector<TSeriesStandings>& standings) {
  const std::optional<std::string> bytes = StandingsXlsx(standings);
  if (!bytes) return path + ": the workbook could not be made in the temporary folder";
  return ReplaceFile(path, *bytes);
}

}  // namespace loggrevy
