#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Text and path helpers shared by the imports and the application shell.

// The n-th field (counted from 1) of text, fields being separated by the
// single byte delimiter. No quoting: two adjacent delimiters enclose an empty
// field, a field number past the last field (or n <= 0) gives "", and the
// result never contains the delimiter. Never fails.
std::string TokenAt(std::string text, int32_t n, char delimiter);

// The same rule without copying: a view into text (valid as long as text is).
std::string_view TokenView(std::string_view text, int32_t n, char delimiter) noexcept;

// Converts the whole text of one column into a signed 32-bit integer:
// leading spaces (byte 32 only) are skipped; then either an optional sign and
// decimal digits in -2147483648..2147483647, or (without a sign) one of the
// prefixes "$", "x", "X", "0x", "0X" and hexadecimal digits whose value fits
// in 32 bits, the bit pattern read as signed. Anything else, trailing spaces
// included, raises EConvertError "'<text>' is not a valid integer value".
int32_t ParseInteger(std::string_view text);

// The rule of ParseInteger without raising: false when text is not an integer.
bool TryParseInteger(std::string_view text, int32_t& out) noexcept;

// The directory of the running executable, with a trailing "/". Computed once,
// on first use (from /proc/self/exe); "" if the path cannot be read.
const std::string& AppDir();
