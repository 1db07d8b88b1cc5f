#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace loggrevy {

// Texts inside the program are Windows-1252 bytes; these convert at the edges.

// The Windows-1252 byte of a Unicode character, or '?' when it has none.
// U+0081, U+008D, U+008F, U+0090 and U+009D map to the bytes of the same value.
char UnicodeToCp1252(char32_t codePoint);

// The Unicode character of a Windows-1252 byte.
char32_t Cp1252ToUnicode(char byte);

std::string Cp1252ToUtf8(std::string_view text);
// Cp1252ToUtf8 onto the end of out.
void AppendUtf8(std::string& out, std::string_view cp1252);

// Decodes UTF-8; a byte that is not part of a valid sequence is taken as the
// Windows-1252 character of that byte.
std::string Utf8ToCp1252(std::string_view text);

}  // namespace loggrevy
