#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The program's one converter between the Windows-1251 bytes that table
// files and exports hold and Unicode, through iconv(3). Text stays bytes
// everywhere else; it is converted where it meets a person: the terminal
// (UTF-8), the window and the map (Qt's strings, see render/QtText.h) and
// error messages (UTF-8).

// The Unicode code point of every byte. Windows-1251 leaves 0x98
// undefined; it becomes U+FFFD, so every byte string converts.
const std::array<char16_t, 256>& Cp1251CodePoints();

// Windows-1251 bytes as UTF-8.
std::string Cp1251ToUtf8(std::string_view cp1251);

// UTF-8 text as Windows-1251. Returns false when the text is not valid UTF-8
// or holds a character Windows-1251 lacks; badOffset then is the byte offset
// in utf8 where conversion stopped and out is left as it was.
bool TryUtf8ToCp1251(std::string_view utf8, std::string& out, size_t& badOffset);

// As TryUtf8ToCp1251, but raises EKelvError naming the offending character.
std::string Utf8ToCp1251(std::string_view utf8);

// As TryUtf8ToCp1251, but every character Windows-1251 lacks becomes '?'.
std::string Utf8ToCp1251Lossy(std::string_view utf8);

// Windows-1251 text (a column of an export, a name from a table) as it is
// quoted in a message: UTF-8, every control byte written escaped (TAB, line
// feed and carriage return as \t, \n and \r, the others below 0x20 and
// 0x7F as \xNN) so that nothing cuts the message or reaches a terminal raw, and text longer than kMessageTextLimit characters cut there, with
// "… (N characters)" telling its whole length.
inline constexpr size_t kMessageTextLimit = 100;
std::string Cp1251ForMessage(std::string_view cp1251);
// The same for text of which only the start is at hand: `start` holds its
// first bytes (at least kMessageTextLimit of them when it is that long) and
// `length` is its whole length.
std::string Cp1251ForMessage(std::string_view start, uint64_t length);
