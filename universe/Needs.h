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

// The rule of ParseInteger fed one byte at a time, so that a column of any
// length is judged without being kept: leading spaces and zeros cost nothing.
class TIntegerScanner {
public:
    // Takes the next byte; false once the text can no longer be an integer
    // (later bytes are then ignored).
    bool Feed(char c) noexcept;
    // After the last byte: true and the value when the whole text was an
    // integer.
    bool Finish(int32_t& out) const noexcept;
    bool Failed() const noexcept { return state_ == State::Fail; }

private:
    enum class State { Spaces, Zero, HexStart, Hex, DecimalStart, Decimal, Fail };
    State state_ = State::Spaces;
    bool negative_ = false;
    uint64_t value_ = 0;
};

// The directory of the running executable, with a trailing "/". Computed once,
// on first use (from /proc/self/exe); "" if the path cannot be read.
const std::string& AppDir();
