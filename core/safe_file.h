#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace loggrevy {

// How bytes reach a file descriptor; ::write unless a test makes a disk fill up.
using TWriteCall = std::function<ssize_t(int fd, const void* data, std::size_t size)>;

// Writes bytes to path through a temporary file in the same folder, flushed
// to disk and renamed over path, so that at any moment path holds either its
// old bytes or all the new ones. Returns the reason when it fails (path then
// untouched, the temporary file removed).
std::optional<std::string> WriteFileAtomically(const std::string& path, std::string_view bytes,
                                               const TWriteCall& write = {});

// The whole file; nullopt with the reason in *failure when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path, std::string* failure = nullptr);

}  // namespace loggrevy
