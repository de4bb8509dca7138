// Saving the map: the quick save beside the program and "save as" through
// the save dialog.
#include <filesystem>

#include <QImage>
#include <QMenu>

#include "AppFixture.h"
#include "ImageControl.h"
#include "uMain.h"

namespace {

bool IsJpeg(const std::string& bytes) {
    return bytes.size() > 3 && bytes.compare(0, 3, "\xFF\xD8\xFF") == 0;
}

bool IsBmp(const std::string& bytes) {
    return bytes.size() > 2 && bytes.compare(0, 2, "BM") == 0;
}

class ExportTest : public AppTest {
protected:
    void SetUp() override {
        InstallSample();
        Start();
        ASSERT_TRUE(Kelv().HasMap());
        mapHeight_ = Program().GSector.MapHeight;
    }

    // Answers the next save dialog with a path in AppDir and a filter.
    void AnswerSave(const std::string& name, int filter) {
        dialogs_.SaveAnswer = [path = AppDir() + name, filter](TSaveDialog& dialog) {
            dialog.FileName = QString::fromStdString(path);
            dialog.FilterIndex = filter;
            return true;
        };
    }

    QSize SavedSize(const std::string& name) const {
        return QImage(QString::fromStdString(AppDir() + name)).size();
    }

    int mapHeight_ = 0;
};

TEST_F(ExportTest, QuickSaveReplacesKelvmapJpgBesideTheProgramWithoutAsking) {
    const std::string target = AppDir() + "kelvmap.jpg";
    {
        std::FILE* old = std::fopen(target.c_str(), "wb");
        std::fputs("an older file", old);
        std::fclose(old);
    }
    Kelv().miSaveMap->trigger();
    Kelv().miSaveMap->trigger();
    EXPECT_TRUE(dialogs_.Questions.empty());
    EXPECT_TRUE(dialogs_.Messages.empty());
    EXPECT_TRUE(dialogs_.Errors.empty());
    EXPECT_TRUE(IsJpeg(ReadFile(target)));
    EXPECT_EQ(SavedSize("kelvmap.jpg"), QSize(2300, mapHeight_));
    EXPECT_EQ(ListFolder(AppDir()), (std::vector<std::string>{"Data", "kelvmap.jpg"}));
}

TEST_F(ExportTest, SaveAsWritesTheFormatOfTheChosenFilterWhateverTheExtension) {
    AnswerSave("jpeg-data.bmp", 1);
    Kelv().miSaveMapAs->trigger();
    AnswerSave("bmp-data.jpg", 2);
    Kelv().miSaveMapAs->trigger();

    EXPECT_TRUE(IsJpeg(ReadFile(AppDir() + "jpeg-data.bmp")));
    const std::string bmp = ReadFile(AppDir() + "bmp-data.jpg");
    EXPECT_TRUE(IsBmp(bmp));
    // Read back by content, not by name.
    EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(bmp), "BMP").size(), QSize(2300, mapHeight_));
    EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(ReadFile(AppDir() + "jpeg-data.bmp")), "JPG").size(),
              QSize(2300, mapHeight_));
    EXPECT_TRUE(dialogs_.Errors.empty());
    EXPECT_TRUE(dialogs_.Messages.empty());
}

TEST_F(ExportTest, TheSaveDialogStartsBesideTheProgramAndRemembersTheAcceptedFilter) {
    AnswerSave("one.bmp", 2);
    Kelv().miSaveMapAs->trigger();
    dialogs_.SaveAnswer = [](TSaveDialog& dialog) {
        dialog.FilterIndex = 1;   // changed, then cancelled
        return false;
    };
    Kelv().miSaveMapAs->trigger();
    AnswerSave("three.jpg", 1);
    Kelv().miSaveMapAs->trigger();

    ASSERT_EQ(dialogs_.SaveRequests.size(), 3u);
    const TSaveDialog& first = dialogs_.SaveRequests[0];
    EXPECT_EQ(first.InitialDir.toStdString(), AppDir());
    EXPECT_EQ(first.FileName, "kelvmap");
    EXPECT_EQ(first.Filters, QStringList({"JPEG files (*.jpg)", "BMP files (*.bmp)"}));
    EXPECT_EQ(first.FilterIndex, 1);
    EXPECT_EQ(first.DefaultExt, "bmp");
    EXPECT_TRUE(first.OverwritePrompt);
    EXPECT_EQ(dialogs_.SaveRequests[1].FileName, "kelvmap");   // the name is reset at every use
    EXPECT_EQ(dialogs_.SaveRequests[1].FilterIndex, 2);
    EXPECT_EQ(dialogs_.SaveRequests[2].FilterIndex, 2);
}

TEST_F(ExportTest, CancellingTheSaveDialogWritesNothing) {
    dialogs_.SaveAnswer = [](TSaveDialog&) { return false; };
    Kelv().miSaveMapAs->trigger();
    EXPECT_EQ(dialogs_.SaveRequests.size(), 1u);
    EXPECT_EQ(ListFolder(AppDir()), std::vector<std::string>{"Data"});
    EXPECT_TRUE(dialogs_.Errors.empty());
}

TEST_F(ExportTest, SavingWhereNoFileCanBeCreatedShowsTheErrorAndWritesNothing) {
    // A folder path through a plain file cannot be written by anyone.
    {
        std::FILE* blocker = std::fopen((AppDir() + "blocker").c_str(), "wb");
        std::fclose(blocker);
    }
    for (int filter : {1, 2}) {
        AnswerSave("blocker/map.jpg", filter);
        Kelv().miSaveMapAs->trigger();
    }
    ASSERT_EQ(dialogs_.Errors.size(), 2u);
    for (const QString& error : dialogs_.Errors) {
        EXPECT_TRUE(error.startsWith("Cannot create file")) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromStdString(AppDir() + "blocker/map.jpg"))) << error.toStdString();
    }
    EXPECT_EQ(ListFolder(AppDir()), (std::vector<std::string>{"Data", "blocker"}));
    EXPECT_TRUE(dialogs_.Messages.empty());

    // The program goes on: the next save works.
    Kelv().miSaveMap->trigger();
    EXPECT_TRUE(IsJpeg(ReadFile(AppDir() + "kelvmap.jpg")));
}

TEST_F(ExportTest, AfterAFailedRedrawTheSavesWriteTheLastCompletedMap) {
    const QImage before = Kelv().SavedMap();
    Program().Universe.Fabs.Close();   // the next drawing fails on the first factory
    Kelv().miDrawMap->trigger();
    ASSERT_EQ(dialogs_.Errors.size(), 1u);

    Kelv().miSaveMap->trigger();
    AnswerSave("map.bmp", 2);
    Kelv().miSaveMapAs->trigger();
    EXPECT_EQ(dialogs_.Errors.size(), 1u);
    const QImage saved(QString::fromStdString(AppDir() + "map.bmp"));
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), before.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(SavedSize("kelvmap.jpg"), QSize(2300, mapHeight_));
}

TEST_F(ExportTest, ExportPdfFollowsSaveAsAndWritesTheMapAsAPageThroughItsOwnDialog) {
    const QList<QAction*> items = Kelv().miFile->actions();
    ASSERT_EQ(items.indexOf(Kelv().miExportPdf), items.indexOf(Kelv().miSaveMapAs) + 1);
    EXPECT_EQ(Kelv().miExportPdf->text(), QString::fromUtf8("Экспорт в PDF..."));

    AnswerSave("map.pdf", 1);
    Kelv().miExportPdf->trigger();
    ASSERT_EQ(dialogs_.SaveRequests.size(), 1u);
    EXPECT_EQ(dialogs_.SaveRequests[0].Filters, QStringList({"PDF files (*.pdf)"}));
    EXPECT_EQ(dialogs_.SaveRequests[0].InitialDir.toStdString(), AppDir());
    EXPECT_EQ(ReadFile(AppDir() + "map.pdf").compare(0, 5, "%PDF-"), 0);
    EXPECT_TRUE(dialogs_.Errors.empty());
    // The save dialog keeps its two filters.
    EXPECT_EQ(Kelv().SaveDialog1.Filters, QStringList({"JPEG files (*.jpg)", "BMP files (*.bmp)"}));
}

TEST_F(AppTest, WithoutAMapBothSavesSaySoAndWriteNothing) {
    Start();   // no table files: the first drawing fails
    ASSERT_FALSE(Kelv().HasMap());
    dialogs_.ClearRecords();
    Kelv().miSaveMap->trigger();
    Kelv().miSaveMapAs->trigger();   // the dialog does not open
    EXPECT_TRUE(dialogs_.SaveRequests.empty());
    EXPECT_EQ(dialogs_.Messages, std::vector<QString>(2, QString::fromUtf8(TKelv::kNothingToSave)));
    EXPECT_TRUE(dialogs_.Errors.empty());
    EXPECT_EQ(ListFolder(AppDir()), std::vector<std::string>{"Data"});
}

}  // namespace
