#pragma once

#include <string>
#include <string_view>

namespace loggrevy {

// Field n (from 0) of text split at separator; empty when the text has fewer
// than n separators.
std::string_view ExtractField(std::string_view text, char separator, std::size_t n);

// The text without leading and trailing blanks (code 32 only).
std::string_view TrimBlanks(std::string_view text);

// True for the Windows-1252 letters (national letters included) and 0..9.
bool IsLetterOrDigit(char c);

// The text with every character removed that is neither a letter, a digit nor "/".
std::string KeepCallChars(std::string_view text);

// National letters of the seven-bit Swedish variant of ASCII ([\]{|}) and of
// the DOS code pages 437/850 turned into Windows-1252 letters, in place.
void SevenBitSwedishToAnsi(std::string& text);
void DosSwedishToAnsi(std::string& text);

}  // namespace loggrevy
