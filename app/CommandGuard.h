#pragma once

#include <exception>
#include <functional>

#include <QString>

class IUserDialogs;
class QWidget;

// The one handler every command of the program runs through. An error that
// ends the command is shown in the error box, and the program goes on with
// whatever state the command had reached. Returns true when the command ran
// to its end.
bool RunCommand(IUserDialogs& dialogs, QWidget* parent, const std::function<void()>& command);

// The text of an error as the user sees it. Errors carry UTF-8 text, or
// Windows-1251 when they quote table data; both arrive readable.
QString ErrorText(const std::exception& error);
