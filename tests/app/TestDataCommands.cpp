// The table maintenance commands of the hidden "DBs" menu and "Load All".
#include <filesystem>
#include <fstream>

#include "AppFixture.h"
#include "uMain.h"

namespace {

namespace fs = std::filesystem;

struct LoadCommand {
    const char* item;       // object name of the menu item
    const char* question;
    const char* textFile;
    const char* tableFile;
};

const LoadCommand kLoadCommands[] = {
    {"miLoadSectorsDB", "Load data sectors?", "sectors.txt", "Sectors.dat"},
    {"miLoadResourceDB", "Load data resources?", "resources.txt", "Resources.dat"},
    {"miLoadFabsDB", "Load data fabs?", "fabs.txt", "Fabs.dat"},
    {"LoadSectorsFabsDB", "Load data sectors fabs?", "sector fabs.txt", "SectorsFabs.dat"},
    {"miLoadFabsResourcesDB", "Load data fabs resources?", "fabs resources.txt", "FabsResources.dat"},
};

// The first `count` lines of a text export.
std::string FirstLines(const std::string& path, int count) {
    std::ifstream in(path, std::ios::binary);
    std::string line, kept;
    for (int i = 0; i < count && std::getline(in, line); ++i) kept += line + "\n";
    return kept;
}

class DataCommandTest : public AppTest {
protected:
    void SetUp() override {
        InstallSample();
        Start({"d"});
        dialogs_.ClearRecords();
        shownKey_ = ShownPictureKey();
    }

    QAction* Item(const char* name) { return Kelv().findChild<QAction*>(QString::fromLatin1(name)); }
    TCustomTable& TableOf(const LoadCommand& command) {
        const std::string file = command.tableFile;
        if (file == "Sectors.dat") return Program().Universe.Sectors;
        if (file == "Resources.dat") return Program().Universe.Resources;
        if (file == "Fabs.dat") return Program().Universe.Fabs;
        if (file == "SectorsFabs.dat") return Program().Universe.SectorsFabs;
        return Program().Universe.FabsResources;
    }
    void ExpectMapUnchanged() {
        EXPECT_EQ(ShownPictureKey(), shownKey_);
        EXPECT_EQ(Kelv().windowTitle(), "Kelv Map - Полная");
    }

    qint64 shownKey_ = 0;
};

TEST_F(DataCommandTest, ALoadAnsweredNoChangesNothing) {
    for (const LoadCommand& command : kLoadCommands) {
        SCOPED_TRACE(command.item);
        WriteData(command.textFile, FirstLines(DataFile(command.textFile), 3));
        const std::string before = ReadFile(DataFile(command.tableFile));
        const int32_t records = TableOf(command).RecordCount();
        dialogs_.ClearRecords();
        dialogs_.Answers = {false};
        Item(command.item)->trigger();
        EXPECT_EQ(dialogs_.Questions, std::vector<QString>{QString::fromUtf8(command.question)});
        EXPECT_TRUE(dialogs_.Messages.empty());
        EXPECT_EQ(TableOf(command).RecordCount(), records);
        EXPECT_EQ(ReadFile(DataFile(command.tableFile)), before);
    }
    ExpectMapUnchanged();
}

TEST_F(DataCommandTest, ALoadAnsweredYesImportsReportsTheCountAndDoesNotRedraw) {
    for (const LoadCommand& command : kLoadCommands) {
        SCOPED_TRACE(command.item);
        WriteData(command.textFile, FirstLines(DataFile(command.textFile), 3));
        dialogs_.ClearRecords();
        dialogs_.Answers = {true};
        Item(command.item)->trigger();
        EXPECT_EQ(dialogs_.Questions, std::vector<QString>{QString::fromUtf8(command.question)});
        EXPECT_EQ(dialogs_.Messages, std::vector<QString>{"Загружено: 3 строк."});
        EXPECT_TRUE(dialogs_.Errors.empty());
        EXPECT_EQ(TableOf(command).RecordCount(), 3);
    }
    ExpectMapUnchanged();
}

TEST_F(DataCommandTest, AFailingLoadShowsTheErrorAndNoCount) {
    fs::remove(DataFile("resources.txt"));
    dialogs_.Answers = {true};
    Item("miLoadResourceDB")->trigger();
    ASSERT_EQ(dialogs_.Errors.size(), 1u);
    EXPECT_TRUE(dialogs_.Errors[0].contains("File not found")) << dialogs_.Errors[0].toStdString();
    EXPECT_TRUE(dialogs_.Messages.empty());

    // A bad integer column names the text it found, readable although the
    // data is Windows-1251.
    WriteData("fabs.txt", "101\tOre Mine\t1\t1\tM\n\xC4\xE2\xE0\tBad\t1\t1\tB\n");
    dialogs_.Answers = {true};
    Item("miLoadFabsDB")->trigger();
    ASSERT_EQ(dialogs_.Errors.size(), 2u);
    EXPECT_EQ(dialogs_.Errors[1], "'Два' is not a valid integer value");
    // Below the text, the file and line it concerns.
    EXPECT_EQ(dialogs_.ErrorDetails[1], QString::fromStdString(DataFile("fabs.txt") + ", line 2"));
    EXPECT_EQ(Program().Universe.Fabs.RecordCount(), 1);
    EXPECT_TRUE(dialogs_.Messages.empty());
    ExpectMapUnchanged();
}

TEST_F(DataCommandTest, LoadAllReportsFiveCountsEachLineEndedByLineFeedThenCarriageReturn) {
    WriteData("sectors.txt", FirstLines(DataFile("sectors.txt"), 7));
    Item("miLoadAll")->trigger();
    EXPECT_TRUE(dialogs_.Questions.empty());
    ASSERT_EQ(dialogs_.Messages.size(), 1u);
    const QString expected = QString("Sectors: 7\n\rResources: %1\n\rFabs: %2\n\rSectorsFabs: %3\n\rFabsResources: %4\n\r")
                                 .arg(CountLines(DataFile("resources.txt")))
                                 .arg(CountLines(DataFile("fabs.txt")))
                                 .arg(CountLines(DataFile("sector fabs.txt")))
                                 .arg(CountLines(DataFile("fabs resources.txt")));
    EXPECT_EQ(dialogs_.Messages[0], expected);
    EXPECT_EQ(dialogs_.Messages[0].count("\n\r"), 5);
    EXPECT_EQ(Program().Universe.Sectors.RecordCount(), 7);
    ExpectMapUnchanged();
}

TEST_F(DataCommandTest, LoadAllStopsAtTheFailingTableAndShowsNoCounts) {
    WriteData("sectors.txt", FirstLines(DataFile("sectors.txt"), 4));
    fs::remove(DataFile("fabs.txt"));
    const int32_t links = Program().Universe.SectorsFabs.RecordCount();
    Item("miLoadAll")->trigger();
    ASSERT_EQ(dialogs_.Errors.size(), 1u);
    EXPECT_TRUE(dialogs_.Messages.empty());
    EXPECT_EQ(Program().Universe.Sectors.RecordCount(), 4);               // loaded before the failure
    EXPECT_EQ(Program().Universe.Fabs.RecordCount(), 0);                  // emptied by its failed import
    EXPECT_EQ(Program().Universe.SectorsFabs.RecordCount(), links);       // never reached
    ExpectMapUnchanged();
}

TEST_F(AppTest, ACreateAnsweredNoOpensAClosedTableAndYesMakesItEmpty) {
    InstallSample();
    fs::rename(DataFile("Resources.dat"), AppDir() + "Resources.dat");
    Start();
    ASSERT_FALSE(Program().Universe.Resources.Opened());   // the full map does not need it
    EXPECT_TRUE(dialogs_.Errors.empty());
    fs::rename(AppDir() + "Resources.dat", DataFile("Resources.dat"));

    dialogs_.Answers = {false};
    Kelv().miCreateResourceDB->trigger();
    EXPECT_EQ(dialogs_.Questions, std::vector<QString>{"Create now?"});
    EXPECT_TRUE(Program().Universe.Resources.Opened());
    EXPECT_EQ(Program().Universe.Resources.RecordCount(), CountLines(DataFile("resources.txt")));

    const qint64 shown = ShownPictureKey();
    struct CreateCase {
        QAction* item;
        TCustomTable* table;
        const char* file;
    } cases[] = {
        {Kelv().miCreateSectorsDB, &Program().Universe.Sectors, "Sectors.dat"},
        {Kelv().miCreateResourceDB, &Program().Universe.Resources, "Resources.dat"},
        {Kelv().miCreateFabsDB, &Program().Universe.Fabs, "Fabs.dat"},
        {Kelv().miCreateSectorsFabsDB, &Program().Universe.SectorsFabs, "SectorsFabs.dat"},
        {Kelv().CreateFabsResourcesDB, &Program().Universe.FabsResources, "FabsResources.dat"},
    };
    for (const CreateCase& c : cases) {
        SCOPED_TRACE(c.file);
        dialogs_.Answers = {true};
        c.item->trigger();
        EXPECT_TRUE(c.table->Opened());
        EXPECT_EQ(c.table->RecordCount(), 0);
        // An emptied table is a file with no records.
        TCustomTable reopened;
        ASSERT_EQ(reopened.Open(DataFile(c.file)), TOpenStatus::Opened);
        EXPECT_EQ(reopened.RecordCount(), 0);
    }
    EXPECT_TRUE(dialogs_.Messages.empty());
    EXPECT_TRUE(dialogs_.Errors.empty());
    EXPECT_EQ(ShownPictureKey(), shown);
}

}  // namespace
