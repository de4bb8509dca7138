#pragma once

#include <QDialog>
#include <QUrl>

class QFrame;
class QLabel;
class QPushButton;

// The about box "About": the program's name and version, the language of
// the game data it is made for, credits, and a contact address that opens a
// new mail message when clicked.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kContactAddress = "kelvmap@example.org";
    static constexpr const char* kMailSubject = "KelvMap";
    static constexpr const char* kMailBody = "ТекстСообщения";

    explicit TAboutBox(QWidget* parent = nullptr);

    // Members, named as the form's controls.
    QFrame* Panel1;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Copyright;
    QLabel* Comments;
    QPushButton* OKButton;
    QLabel* Label1;

    // "mailto:<address>?subject=KelvMap&body=ТекстСообщения", with subject and
    // body percent-encoded as UTF-8 so any mail program reads the Cyrillic
    // body intact.
    static QUrl MailLink();

    // Hands MailLink() to the desktop's mail program. The outcome is not
    // reported (no mail program means nothing happens); the box stays open.
    void CopyrightClick();

    // Opens centred on the screen, not over the main window.
    void setVisible(bool visible) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
