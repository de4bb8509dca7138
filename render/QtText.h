#pragma once

#include <string>
#include <string_view>

#include <QString>

// Windows-1251 text where it meets Qt (drawing, captions, lists, file names
// the user typed). Both directions go through the program's one converter
// (universe/Cp1251.h); these only bridge to Qt's strings.

// Every byte has a Unicode counterpart (0x98 is unassigned and becomes U+FFFD).
QString FromCp1251(std::string_view bytes);

// Converts text to Windows-1251. Returns false, leaving `out` untouched, when
// the text holds a character that Windows-1251 cannot represent.
bool TryToCp1251(const QString& text, std::string& out);

// As TryToCp1251, but characters Windows-1251 lacks become '?'.
std::string ToCp1251(const QString& text);
