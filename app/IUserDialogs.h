#pragma once

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

// Settings and outcome of the save-file dialog. The main window keeps one of
// these for the whole run, so the chosen filter is remembered between uses.
struct TSaveDialog {
    QString InitialDir;        // starting folder, set before every use
    QString FileName;          // in: the initial name; out: the chosen full path
    QStringList Filters;       // Qt name filters, e.g. "JPEG files (*.jpg)"
    int FilterIndex = 1;       // 1-based; in: the filter shown; out: the filter accepted
    QString DefaultExt;        // appended (without the dot) to a name typed without one
    bool OverwritePrompt = true;
};

// Every modal interaction of the program: questions, messages, the error box,
// the save dialog and the showing of its own forms. The program uses the Qt
// implementation (TQtUserDialogs); tests answer through their own.
class IUserDialogs {
public:
    virtual ~IUserDialogs() = default;

    // A Yes/No question with a question icon. True only when the answer is
    // Yes; No, Esc or closing the box count as No.
    virtual bool Confirm(QWidget* parent, const QString& question) = 0;
    // A plain message with one OK button. The text may hold line breaks.
    virtual void Message(QWidget* parent, const QString& text) = 0;
    // The error box: the text of an error that ended a command and, below
    // it, the detail (the file it concerns, the line of an export, what the
    // user can do), which may be empty.
    virtual void Error(QWidget* parent, const QString& text, const QString& detail) = 0;
    // The save-file dialog. True when the user accepted; then
    // dialog.FileName is the chosen path and dialog.FilterIndex the filter
    // chosen. A cancelled dialog leaves `dialog` as it was.
    virtual bool AskSaveFile(QWidget* parent, TSaveDialog& dialog) = 0;
    // Shows one of the program's forms modally and returns its result
    // (QDialog::Accepted or QDialog::Rejected).
    virtual int ShowModal(QDialog& form) = 0;
};
