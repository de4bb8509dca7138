#pragma once

#include <string>
#include <string_view>

// Conversions between the terminal's UTF-8 and the Windows-1251 bytes the
// table files hold, through iconv(3). Kept out of storage/, which deals in
// bytes only, so that the universe layer and the command-line tool can share it.

// Converts UTF-8 text to Windows-1251. Returns false when the text is not valid
// UTF-8 or holds a character Windows-1251 lacks; badOffset then is the byte
// offset in utf8 where conversion stopped.
bool TryUtf8ToCp1251(std::string_view utf8, std::string& out, size_t& badOffset);

// As TryUtf8ToCp1251, but raises EKelvError naming the offending character.
std::string Utf8ToCp1251(std::string_view utf8);

// Converts Windows-1251 bytes to UTF-8. The one byte Windows-1251 leaves
// undefined (0x98) becomes U+FFFD, so every byte string converts.
std::string Cp1251ToUtf8(std::string_view cp1251);
