// The Qt side of the dialogs interface: the real save dialog and the text of
// message boxes.
#include <filesystem>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include "AppFixture.h"
#include "QtUserDialogs.h"

namespace {

// Runs `act` on the save dialog once it is open.
void WhenSaveDialogOpens(std::function<void(QFileDialog&)> act) {
    QTimer::singleShot(0, [act] {
        auto* box = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        act(*box);
    });
}

TSaveDialog MapSaveDialog(const std::string& folder) {
    TSaveDialog dialog;
    dialog.InitialDir = QString::fromStdString(folder);
    dialog.FileName = "kelvmap";
    dialog.Filters = {"JPEG files (*.jpg)", "BMP files (*.bmp)"};
    dialog.FilterIndex = 1;
    dialog.DefaultExt = "bmp";
    return dialog;
}

TEST_F(AppTest, TheSaveDialogGivesANameWithoutExtensionTheExtensionOfTheChosenFilter) {
    TQtUserDialogs dialogs;
    TSaveDialog dialog = MapSaveDialog(AppDir());

    WhenSaveDialogOpens([](QFileDialog& box) { static_cast<QDialog&>(box).accept(); });
    ASSERT_TRUE(dialogs.AskSaveFile(nullptr, dialog));
    EXPECT_EQ(dialog.FileName.toStdString(), AppDir() + "kelvmap.jpg");
    EXPECT_EQ(dialog.FilterIndex, 1);

    dialog.FileName = "kelvmap";
    WhenSaveDialogOpens([](QFileDialog& box) {
        // As if the user picked the second file type in the list.
        auto* types = box.findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(types, nullptr);
        types->setCurrentIndex(1);
        QMetaObject::invokeMethod(types, "activated", Q_ARG(int, 1));
        box.findChild<QLineEdit*>("fileNameEdit")->setText("other");
        static_cast<QDialog&>(box).accept();
    });
    ASSERT_TRUE(dialogs.AskSaveFile(nullptr, dialog));
    EXPECT_EQ(dialog.FileName.toStdString(), AppDir() + "other.bmp");
    EXPECT_EQ(dialog.FilterIndex, 2);

    // The filter accepted last is the one shown next time.
    dialog.FileName = "kelvmap";
    WhenSaveDialogOpens([](QFileDialog& box) {
        EXPECT_EQ(box.selectedNameFilter(), "BMP files (*.bmp)");
        box.reject();
    });
    EXPECT_FALSE(dialogs.AskSaveFile(nullptr, dialog));
    EXPECT_EQ(dialog.FileName, "kelvmap");   // a cancelled dialog changes nothing
    EXPECT_EQ(dialog.FilterIndex, 2);
    EXPECT_EQ(ListFolder(AppDir()), std::vector<std::string>{"Data"});
}

TEST(MessageText, AShortBoxIsWideEnoughForItsTitle) {
    for (const QMessageBox::Icon icon : {QMessageBox::Critical, QMessageBox::NoIcon}) {
        auto box = MakeBox(icon, nullptr, "x");
        box->show();
        QApplication::processEvents();
        EXPECT_GE(box->width(), TQtUserDialogs::kMinimumBoxWidth) << icon;
        EXPECT_EQ(box->windowTitle(), "Kelv Map");
    }
}

TEST(MessageText, LineBreaksOfAnyKindShowAsPlainLineBreaks) {
    EXPECT_EQ(DisplayText("Sectors: 1\n\rResources: 2\n\r"), "Sectors: 1\nResources: 2");
    EXPECT_EQ(DisplayText("a\r\nb\rc\nd"), "a\nb\nc\nd");
    EXPECT_EQ(DisplayText("Загружено: 3 строк."), "Загружено: 3 строк.");
}

}  // namespace
