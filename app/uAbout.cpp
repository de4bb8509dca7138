#include "uAbout.h"

#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QUrlQuery>

#include "FormFont.h"

namespace {

QLabel* MakeLabel(const QString& text, const char* name, int x, int y, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->move(x, y);
    label->adjustSize();
    return label;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setFont(FormFont());
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(190, 191);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 169, 137);
    // A lowered outer bevel around a raised inner one, one pixel each: the
    // shaded box the frame draws in its sunken shadow.
    Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Panel1->setLineWidth(1);
    Panel1->setMidLineWidth(0);

    ProductName = MakeLabel(QStringLiteral("Kelv Map v1.1 beta 2004"), "ProductName", 24, 16, Panel1);

    Comments = MakeLabel(QStringLiteral("Английская база"), "Comments", 24, 40, Panel1);
    Comments->setWordWrap(true);
    Comments->setFixedWidth(qMax(87, Comments->sizeHint().width()));
    Comments->adjustSize();

    Version = MakeLabel(QStringLiteral("Автор: команда KelvMap"), "Version", 24, 64, Panel1);

    Copyright = MakeLabel(QString::fromUtf8(kContactAddress), "Copyright", 24, 88, Panel1);
    QPalette linkPalette = Copyright->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Copyright->setPalette(linkPalette);
    Copyright->setCursor(Qt::PointingHandCursor);
    Copyright->setToolTip(QStringLiteral("Написать письмо"));
    Copyright->installEventFilter(this);

    Label1 = MakeLabel(QStringLiteral("Карта для игроков"), "Label1", 24, 112, Panel1);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(55, 156, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

QUrl TAboutBox::MailLink() {
    QUrl link;
    link.setScheme(QStringLiteral("mailto"));
    link.setPath(QString::fromUtf8(kContactAddress));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), QString::fromUtf8(kMailSubject));
    query.addQueryItem(QStringLiteral("body"), QString::fromUtf8(kMailBody));
    link.setQuery(query.query(QUrl::FullyEncoded), QUrl::StrictMode);
    return link;
}

void TAboutBox::CopyrightClick() {
    QDesktopServices::openUrl(MailLink());
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Copyright && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && Copyright->rect().contains(mouse->position().toPoint())) {
            CopyrightClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBox::setVisible(bool visible) {
    if (visible && !isVisible()) {
        const QWidget* owner = parentWidget();
        if (QScreen* where = owner ? owner->screen() : screen()) {
            // A position set before showing keeps the dialog from centring
            // itself over its parent.
            move(where->availableGeometry().center() - QPoint(width() / 2, height() / 2));
        }
    }
    QDialog::setVisible(visible);
}
