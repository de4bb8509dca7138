#pragma once

#include <memory>

#include <QMessageBox>

#include "IUserDialogs.h"

// The Qt message boxes, file dialog and modal loop behind IUserDialogs.
// Every box is titled "Kelv Map"; the error box carries the critical icon.
class TQtUserDialogs final : public IUserDialogs {
public:
    static constexpr const char* kBoxTitle = "Kelv Map";
    // Every box is at least this wide, so title bars show the title whole.
    static constexpr int kMinimumBoxWidth = 260;

    bool Confirm(QWidget* parent, const QString& question) override;
    void Message(QWidget* parent, const QString& text) override;
    void Error(QWidget* parent, const QString& text, const QString& detail) override;
    bool AskSaveFile(QWidget* parent, TSaveDialog& dialog) override;
    int ShowModal(QDialog& form) override;
};

// The message box each kind of box is built from (Question, NoIcon for a
// message, Critical for an error), not yet shown.
std::unique_ptr<QMessageBox> MakeBox(QMessageBox::Icon icon, QWidget* parent, const QString& text);

// The text a message box shows for `text`: line breaks written as "\n\r" or
// "\r\n" become one line break, so no stray carriage return reaches the label.
QString DisplayText(const QString& text);
