// The about box: its texts and the mail link of the address label.
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QUrlQuery>

#include "AppFixture.h"
#include "uAbout.h"
#include "uMain.h"

namespace {

// Stands in for the desktop's mail program.
class MailCatcher : public QObject {
    Q_OBJECT
public:
    MailCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "Open"); }
    ~MailCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("mailto")); }
    QList<QUrl> Opened;
public slots:
    void Open(const QUrl& url) { Opened << url; }
};

TEST(AboutBox, TheMailLinkIsPercentEncodedUtf8AndDecodesToTheMessage) {
    const QUrl link = TAboutBox::MailLink();
    EXPECT_EQ(link.toString(QUrl::FullyEncoded),
              "mailto:kelvmap@example.org?subject=KelvMap&body="
              "%D0%A2%D0%B5%D0%BA%D1%81%D1%82%D0%A1%D0%BE%D0%BE%D0%B1%D1%89%D0%B5%D0%BD%D0%B8%D1%8F");
    EXPECT_TRUE(link.isValid());
    const QUrlQuery query(link);
    EXPECT_EQ(link.path(), "kelvmap@example.org");
    EXPECT_EQ(query.queryItemValue("subject", QUrl::FullyDecoded), "KelvMap");
    EXPECT_EQ(query.queryItemValue("body", QUrl::FullyDecoded), "ТекстСообщения");
}

TEST(AboutBox, ShowsTheProgramsTextsInsideItsPanel) {
    TAboutBox box;
    EXPECT_EQ(box.windowTitle(), "About");
    EXPECT_EQ(box.size(), QSize(190, 191));
    EXPECT_EQ(box.ProductName->text(), "Kelv Map v1.1 beta 2004");
    EXPECT_EQ(box.Comments->text(), "Английская база");
    EXPECT_EQ(box.Copyright->text(), TAboutBox::kContactAddress);
    EXPECT_EQ(box.Copyright->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(box.Version->text().isEmpty());
    EXPECT_FALSE(box.Label1->text().isEmpty());
    EXPECT_EQ(box.OKButton->text(), "OK");
    // Every label is whole inside the panel, top to bottom in order.
    const QLabel* labels[] = {box.ProductName, box.Comments, box.Version, box.Copyright, box.Label1};
    int previousBottom = 0;
    for (const QLabel* label : labels) {
        EXPECT_TRUE(box.Panel1->contentsRect().contains(label->geometry())) << label->objectName().toStdString();
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->objectName().toStdString();
        EXPECT_GT(label->y(), previousBottom - 1);
        previousBottom = label->geometry().bottom();
    }
}

TEST(AboutBox, ThePanelHasALoweredOuterAndARaisedInnerBevel) {
    TAboutBox box;
    box.show();
    const QImage panel = box.Panel1->grab().toImage();
    const QRgb dark = box.Panel1->palette().color(QPalette::Dark).rgb();
    const QRgb light = box.Panel1->palette().color(QPalette::Light).rgb();
    const int r = panel.width() - 1;
    const int b = panel.height() - 1;
    EXPECT_EQ(panel.pixel(5, 0), dark);        // outer: dark top, light bottom
    EXPECT_EQ(panel.pixel(5, b), light);
    EXPECT_EQ(panel.pixel(0, 5), dark);
    EXPECT_EQ(panel.pixel(r, 5), light);
    EXPECT_EQ(panel.pixel(5, 1), light);       // inner: light top, dark bottom
    EXPECT_EQ(panel.pixel(5, b - 1), dark);
    EXPECT_EQ(panel.pixel(1, 5), light);
    EXPECT_EQ(panel.pixel(r - 1, 5), dark);
}

TEST(AboutBox, OpensCentredOnTheScreenWhereverItsOwnerIs) {
    QWidget owner;
    owner.setGeometry(10, 10, 300, 200);
    owner.show();
    TAboutBox box(&owner);
    box.show();
    const QRect screen = owner.screen()->availableGeometry();
    EXPECT_LE(std::abs(box.frameGeometry().center().x() - screen.center().x()), 1 + (box.frameGeometry().width() - box.width()));
    EXPECT_LE(std::abs(box.frameGeometry().center().y() - screen.center().y()), 1 + (box.frameGeometry().height() - box.height()));
    EXPECT_NE(box.geometry().center(), owner.geometry().center());
}

TEST(AboutBox, EachClickOnTheAddressOpensOneMessageAndTheBoxStaysOpen) {
    MailCatcher mail;
    TAboutBox box;
    box.show();
    QTest::mouseClick(box.Copyright, Qt::LeftButton);
    QTest::mouseClick(box.Copyright, Qt::LeftButton);
    ASSERT_EQ(mail.Opened.size(), 2);
    EXPECT_EQ(mail.Opened[0], TAboutBox::MailLink());
    EXPECT_TRUE(box.isVisible());
    QTest::mouseClick(box.ProductName, Qt::LeftButton);
    EXPECT_EQ(mail.Opened.size(), 2);
}

TEST_F(AppTest, TheAboutCommandShowsTheBoxAndEnterClosesItWithOk) {
    Start();
    dialogs_.ClearRecords();
    int result = -1;
    dialogs_.FormScripts.push_back([&result](QDialog& form) {
        EXPECT_EQ(form.objectName(), "AboutBox");
        QTest::keyClick(&form, Qt::Key_Return);
        EXPECT_FALSE(form.isVisible());
        result = form.result();
    });
    Kelv().miAbout->trigger();
    EXPECT_EQ(dialogs_.FormsShown, 1);
    EXPECT_EQ(result, QDialog::Accepted);
}

}  // namespace

#include "TestAbout.moc"
