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

// The text of an error as the user sees it: its own words, exactly (errors
// carry UTF-8; running out of memory reads "not enough memory").
QString ErrorText(const std::exception& error);
// The detail shown below it: the file the error concerns ("sectors.txt,
// line 17" for a line of an export) and what the user can do; "" when there
// is nothing to add.
QString ErrorDetail(const std::exception& error);
