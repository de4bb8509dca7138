#pragma once

#include <QFont>

// The font of the program's forms: a plain sans serif at 11 pixels, the size
// the forms' fixed layouts are measured for.
QFont FormFont();
