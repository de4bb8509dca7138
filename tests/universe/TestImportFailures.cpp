#include <dirent.h>
#include <unistd.h>

#include <climits>
#include <memory>
#include <random>

#include <gtest/gtest.h>

#include "KelvErrors.h"
#include "FaultyFileSystem.h"
#include "UniverseTestSupport.h"
#include "TableFileSeam.h"
#include "uSectors.h"

namespace {

// How many descriptors of this process refer to path.
int OpenDescriptorsOf(const std::string& path) {
    char want[PATH_MAX];
    if (realpath(path.c_str(), want) == nullptr) return -1;
    int count = 0;
    DIR* d = opendir("/proc/self/fd");
    if (d == nullptr) return -1;
    while (dirent* e = readdir(d)) {
        if (e->d_name[0] == '.') continue;
        char target[PATH_MAX];
        const std::string link = std::string("/proc/self/fd/") + e->d_name;
        const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
        if (n <= 0) continue;
        target[n] = '\0';
        if (std::string(target) == want) ++count;
    }
    closedir(d);
    return count;
}

int32_t StoredRecords(const std::string& tablePath) {
    TFabsResources t;
    EXPECT_EQ(t.Open(tablePath), TOpenStatus::Opened);
    return t.RecordCount();
}

class ImportFailures : public ::testing::Test {
protected:
    TempDir dir;
    // Three good lines, then one whose second column is bad: the first column
    // of the failing line has already been set when it fails.
    std::string text = "1\t10\t0\r\n2\t20\t1\r\n3\t30\t0\r\n4\t7q\t1\r\n5\t50\t0\r\n";
};

TEST_F(ImportFailures, BadColumnStopsAtItsLineKeepingEarlierLines) {
    TFabsResources t;
    t.CreateDB(dir.File("FabsResources.dat"));
    try {
        t.LoadFromText(dir.Write("fabs resources.txt", text));
        FAIL() << "import succeeded";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'7q' is not a valid integer value");
    }
    EXPECT_EQ(Column(t, "Fab"), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(StoredRecords(dir.File("FabsResources.dat")), 3);
}

TEST_F(ImportFailures, TrailingEmptyLineStopsAfterStoringEverythingBefore) {
    TResources r;
    r.CreateDB(dir.File("Resources.dat"));
    try {
        r.LoadFromText(dir.Write("resources.txt", "1\tOre\r\n2\tIce\r\n\r\n"));
        FAIL() << "import succeeded";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'' is not a valid integer value");
    }
    EXPECT_EQ(r.RecordCount(), 2);
}

TEST_F(ImportFailures, HalfFilledRecordIsNeverStoredLater) {
    const std::string table = dir.File("FabsResources.dat");
    const std::string export_ = dir.Write("fabs resources.txt", text);
    {
        // By Post and Close.
        TFabsResources t;
        t.CreateDB(table);
        EXPECT_THROW(t.LoadFromText(export_), EConvertError);
        t.Post();
        EXPECT_EQ(t.RecordCount(), 3);
        t.Close();
        EXPECT_EQ(StoredRecords(table), 3);
    }
    {
        // By moving to another record, then by the destructor.
        TFabsResources t;
        t.CreateDB(table);
        EXPECT_THROW(t.LoadFromText(export_), EConvertError);
        t.GoToRecord(0);
        EXPECT_EQ(t.GetFieldValue("Fab").AsInteger(), 1);
        EXPECT_EQ(t.RecordCount(), 3);
    }
    EXPECT_EQ(StoredRecords(table), 3);
    {
        TFabsResources t;
        t.CreateDB(table);
        EXPECT_THROW(t.LoadFromText(export_), EConvertError);
    }
    EXPECT_EQ(StoredRecords(table), 3);
    {
        // A record appended afterwards starts clean: nothing of the failed line.
        TFabsResources t;
        ASSERT_EQ(t.Open(table), TOpenStatus::Opened);
        EXPECT_THROW(t.LoadFromText(export_), EConvertError);
        t.AppendRecord();
        t.SetFieldValue("Type", 9);
        t.Post();
        t.GoToRecord(3);
        EXPECT_EQ(t.GetFieldValue("Fab").AsInteger(), 0);
        EXPECT_EQ(t.GetFieldValue("Resource").AsInteger(), 0);
        EXPECT_EQ(t.GetFieldValue("Type").AsInteger(), 9);
    }
    EXPECT_EQ(StoredRecords(table), 4);
}

TEST_F(ImportFailures, TextFileIsReleasedOnSuccessAndFailure) {
    TFabsResources t;
    t.CreateDB(dir.File("FabsResources.dat"));
    const std::string bad = dir.Write("fabs resources.txt", text);
    EXPECT_THROW(t.LoadFromText(bad), EConvertError);
    EXPECT_EQ(OpenDescriptorsOf(bad), 0);
    const std::string good = dir.Write("good.txt", "1\t2\t3\n");
    t.LoadFromText(good);
    EXPECT_EQ(OpenDescriptorsOf(good), 0);
}

TEST_F(ImportFailures, MissingExportEmptiesTheTable) {
    TFabsResources t;
    t.CreateDB(dir.File("FabsResources.dat"));
    t.LoadFromText(dir.Write("fabs resources.txt", "1\t2\t3\r\n4\t5\t6\r\n"));
    ASSERT_EQ(t.RecordCount(), 2);
    try {
        t.LoadFromText(dir.File("absent.txt"));
        FAIL() << "import succeeded";
    } catch (const EInOutError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_EQ(StoredRecords(dir.File("FabsResources.dat")), 0);
}

TEST_F(ImportFailures, TableWithoutFields) {
    TSectors s;  // never opened: no fields
    s.LoadFromText(dir.Write("sectors.txt", ""));
    EXPECT_EQ(s.RecordCount(), 0);
    try {
        s.LoadFromText(dir.Write("sectors.txt", "1\tA\t1\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\r\n"));
        FAIL() << "import succeeded";
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (-1)");
    }
    EXPECT_EQ(s.RecordCount(), 0);
}

TEST_F(ImportFailures, WriteErrorEndsImportAndFailedRecordStaysUnstored) {
    kelvtest::FaultyFileSystem fs;
    const std::string table = dir.File("FabsResources.dat");
    {
        TFabsResources t(fs);
        t.CreateDB(table);
        fs.SetRoom(32 + 3 * 48 + 2 * 13);  // header, catalogue and two records fit
        try {
            t.LoadFromText(dir.Write("fabs resources.txt", text));
            FAIL() << "import succeeded";
        } catch (const EInOutError& e) {
            EXPECT_STREQ(e.what(), "No space left on device");
            EXPECT_EQ(e.File(), table);  // the table file, not the export
        }
        EXPECT_EQ(t.RecordCount(), 2);
        fs.SetRoom(-1);  // the disk has room again: Close must not store line 3
    }
    EXPECT_EQ(StoredRecords(table), 2);
}

TEST_F(ImportFailures, ArbitraryBytesNeverLeaveMemoryAndFileApart) {
    // Whatever an export holds, the import either succeeds or stops with an
    // error, and the table file always holds exactly the records in memory.
    std::mt19937 rng(7);
    const std::string alphabet = std::string("0123456789-+$xX \t\t\t\r\n\n\x1A") + "\xC0\xFF" + "ab";
    const std::string table = dir.File("Sectors.dat");
    TSectors s;
    s.CreateDB(table);
    int failures = 0;
    for (int round = 0; round < 150; ++round) {
        std::string text;
        const size_t len = rng() % 400;
        for (size_t i = 0; i < len; ++i) text += alphabet[rng() % alphabet.size()];
        try {
            s.LoadFromText(dir.Write("sectors.txt", text));
        } catch (const EKelvError&) {
            ++failures;
        }
        const int32_t inMemory = s.RecordCount();
        s.Close();
        TSectors reread;
        ASSERT_EQ(reread.Open(table), TOpenStatus::Opened);
        ASSERT_EQ(reread.RecordCount(), inMemory) << "round " << round;
        reread.Close();
        ASSERT_EQ(s.Open(table), TOpenStatus::Opened);
    }
    EXPECT_GT(failures, 0);
}

}  // namespace
