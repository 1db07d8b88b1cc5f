#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace loggrevy {

// The one place where the core's texts meet QString. The core keeps its texts
// as Windows-1252 bytes; file paths are the operating system's bytes.

QString ToQString(std::string_view cp1252);
std::string ToCp1252(const QString& text);

// Paths go to the core in the file system's encoding and come back from it so.
QString PathToQString(const std::string& nativePath);
std::string ToNativePath(const QString& path);

// A whole number as the windows show it.
QString IntText(long long value);

}  // namespace loggrevy
