// Gathered appends: records posted between BeginBulkAppend and EndBulkAppend
// reach the file in few writes, and whatever happens, memory and file agree
// once the mode ends or another operation touches the file.
#include <gtest/gtest.h>

#include "CustomTable.h"
#include "KelvErrors.h"
#include "StorageTestSupport.h"

using namespace kelvtest;

namespace {

class BulkAppend : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.Path("Resources.dat");
    FaultyFileSystem fs;

    void Append(TCustomTable& t, int32_t code, const std::string& name) {
        t.AppendRecord();
        t.SetFieldValue("Code", code);
        t.SetFieldValue("Name", name);
        t.Post();
    }
};

TEST_F(BulkAppend, WritesTheSameBytesAsOneWritePerRecordInFewerWrites) {
    const std::string other = dir.Path("Other.dat");
    CreateResourcesFile(path);
    CreateResourcesFile(other);
    {
        TCustomTable plain;
        ASSERT_EQ(plain.Open(other), TOpenStatus::Opened);
        for (int32_t i = 0; i < 1000; ++i) Append(plain, i, "n" + std::to_string(i));
    }
    TCustomTable t(fs);
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    fs.FailWrite(0);  // count writes only
    t.BeginBulkAppend();
    for (int32_t i = 0; i < 1000; ++i) Append(t, i, "n" + std::to_string(i));
    t.EndBulkAppend();
    EXPECT_LE(fs.Writes(), 3);  // the header of the first record, then the gathered records
    EXPECT_EQ(ReadBytes(path), ReadBytes(other));
    EXPECT_EQ(t.RecordCount(), 1000);
}

TEST_F(BulkAppend, OtherOperationsSeeTheFileUpToDate) {
    CreateResourcesFile(path, {{1, "a"}});
    TCustomTable t;
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    t.BeginBulkAppend();
    Append(t, 2, "b");
    Append(t, 3, "c");
    // Changing a stored record writes the gathered ones first.
    t.GoToRecord(0);
    t.SetFieldValue("Name", "A");
    t.Post();
    EXPECT_EQ(Describe(SnapshotFile(path)), "[1|A][2|b][3|c]");
    Append(t, 4, "d");
    // Deleting moves the last record, which must be in the file already.
    t.DeleteRecord(1);
    EXPECT_EQ(Describe(SnapshotFile(path)), "[1|A][4|d][3|c]");
    Append(t, 5, "e");
    t.Close();  // the mode never ended: Close writes what is gathered
    EXPECT_EQ(Describe(SnapshotFile(path)), "[1|A][4|d][3|c][5|e]");
}

TEST_F(BulkAppend, AFailedGatheredWriteDropsItsRecordsFromMemoryToo) {
    CreateResourcesFile(path, {{1, "a"}});
    TCustomTable t(fs);
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    t.BeginBulkAppend();
    Append(t, 2, "b");
    Append(t, 3, "c");
    fs.FailWrite(1, true);
    EXPECT_THROW(t.EndBulkAppend(), EInOutError);
    EXPECT_EQ(t.RecordCount(), 1);
    EXPECT_FALSE(t.Modified());
    EXPECT_EQ(t.Locate("Code", 2), -1);
    EXPECT_EQ(Describe(SnapshotFile(path)), "[1|a]");
    // The table goes on working and stores what it is given next.
    fs.Heal();
    Append(t, 4, "d");
    EXPECT_EQ(Describe(Snapshot(t)), Describe(SnapshotFile(path)));
    EXPECT_EQ(Describe(SnapshotFile(path)), "[1|a][4|d]");
}

TEST_F(BulkAppend, AGatheredWriteThatFailsOnceIsRetriedRecordByRecord) {
    CreateResourcesFile(path, {{1, "a"}});
    TCustomTable t(fs);
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    t.BeginBulkAppend();
    Append(t, 2, "b");
    Append(t, 3, "c");
    fs.FailWrite(1);  // only the gathered write fails
    t.EndBulkAppend();
    EXPECT_EQ(fs.Writes(), 3);
    EXPECT_EQ(Describe(SnapshotFile(path)), "[1|a][2|b][3|c]");
    EXPECT_EQ(Describe(Snapshot(t)), Describe(SnapshotFile(path)));
}

TEST_F(BulkAppend, ClearTableDiscardsGatheredAndWrittenRecordsAlike) {
    CreateResourcesFile(path, {{1, "a"}});
    TCustomTable t;
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    const int32_t dataStart = t.DataStart();
    t.BeginBulkAppend();
    Append(t, 2, "b");
    t.ClearTable();
    t.EndBulkAppend();
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_EQ(FileSize(path), 128);
    EXPECT_EQ(LE32(ReadBytes(path), 8), dataStart);
}

}  // namespace
