// Failures of the file seam: after the Nth write or truncation fails, the
// table's memory and the file still agree, and a reopened file reads exactly
// what the file holds.
#include <gtest/gtest.h>

#include "CustomTable.h"
#include "KelvErrors.h"
#include "StorageTestSupport.h"

using namespace kelvtest;

namespace {

class Failure : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.Path("Resources.dat");
    FaultyFileSystem fs;

    void OpenWith(TCustomTable& t, const std::vector<std::pair<int32_t, std::string>>& records) {
        CreateResourcesFile(path, records);
        ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    }
    // The table's records as held in memory against the file's as reopened.
    void ExpectMemoryMatchesFile(TCustomTable& t) {
        const bool modified = t.Modified();
        if (modified) return;  // Snapshot would post; callers check pending states themselves
        EXPECT_EQ(Describe(Snapshot(t)), Describe(SnapshotFile(path)));
    }
};

TEST_F(Failure, FailedPostOfAStoredRecordKeepsItPending) {
    TCustomTable t(fs);
    OpenWith(t, {{1, "a"}, {2, "b"}});
    t.GoToRecord(1);
    t.SetFieldValue("Name", "new");
    fs.FailWrite(1);
    EXPECT_THROW(t.Post(), EInOutError);
    EXPECT_TRUE(t.Modified());
    EXPECT_EQ(t.RecordCount(), 2);
    EXPECT_EQ(t.Locate("Name", "b"), 1);  // the stored copy is unchanged
    EXPECT_EQ(Describe(SnapshotFile(path)), "[1|a][2|b]");
    // Once the disk recovers the same Post succeeds.
    t.Post();
    EXPECT_FALSE(t.Modified());
    EXPECT_EQ(Describe(SnapshotFile(path)), "[1|a][2|new]");
    ExpectMemoryMatchesFile(t);
}

TEST_F(Failure, FailedPostOfANewRecordStoresNothing) {
    TCustomTable t(fs);
    OpenWith(t, {{1, "a"}});
    t.AppendRecord();
    t.SetFieldValue("Code", 2);
    fs.FailWrite(1);
    EXPECT_THROW(t.Post(), EInOutError);
    EXPECT_TRUE(t.Modified());
    EXPECT_TRUE(t.IsNew());
    EXPECT_EQ(t.RecordCount(), 1);
    EXPECT_EQ(FileSize(path), 128 + 38);
    t.Post();
    EXPECT_EQ(t.RecordCount(), 2);
    EXPECT_EQ(Describe(SnapshotFile(path)), "[1|a][2|]");
    ExpectMemoryMatchesFile(t);
}

TEST_F(Failure, FirstPostWhoseHeaderWriteFails) {
    TCustomTable t(fs);
    OpenWith(t, {});
    t.AppendRecord();
    t.SetFieldValue("Code", 1);
    fs.FailWrite(1);
    EXPECT_THROW(t.Post(), EInOutError);
    EXPECT_EQ(t.DataStart(), 0);
    EXPECT_EQ(LE32(ReadBytes(path), 8), 0);
    EXPECT_EQ(t.RecordCount(), 0);
    TCustomTable reread;
    ASSERT_EQ(reread.Open(path), TOpenStatus::Opened);
    EXPECT_EQ(reread.RecordCount(), 0);
    EXPECT_EQ(reread.DataStart(), 0);
    reread.Close();
    t.DiscardPending();
}

TEST_F(Failure, FirstPostWhoseRecordWriteFailsLeavesTheHeaderWritten) {
    TCustomTable t(fs);
    OpenWith(t, {});
    t.AppendRecord();
    t.SetFieldValue("Code", 1);
    fs.FailWrite(2);
    EXPECT_THROW(t.Post(), EInOutError);
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_EQ(t.DataStart(), 128);
    TCustomTable reread;
    ASSERT_EQ(reread.Open(path), TOpenStatus::Opened);
    EXPECT_EQ(reread.RecordCount(), 0);
    EXPECT_EQ(reread.DataStart(), 128);
    EXPECT_EQ(reread.AddField("X", kFieldInteger, 4), TCustomTable::kStatusCatalogueFrozen);
    reread.Close();
    t.Post();  // retried: the record goes where the header says
    EXPECT_EQ(Describe(SnapshotFile(path)), "[1|]");
}

TEST_F(Failure, DeleteWhoseMoveWriteFailsChangesNothing) {
    TCustomTable t(fs);
    OpenWith(t, {{1, "P"}, {2, "Q"}, {3, "S"}});
    fs.FailWrite(1);
    EXPECT_THROW(t.DeleteRecord(0), EInOutError);
    EXPECT_EQ(t.RecordCount(), 3);
    EXPECT_EQ(Describe(SnapshotFile(path)), "[1|P][2|Q][3|S]");
    ExpectMemoryMatchesFile(t);
}

TEST_F(Failure, DeleteWhoseTruncationFailsKeepsMemoryAndFileAlike) {
    TCustomTable t(fs);
    OpenWith(t, {{1, "P"}, {2, "Q"}, {3, "S"}});
    fs.FailTruncate(1);
    EXPECT_THROW(t.DeleteRecord(0), EInOutError);
    // The last record was copied into the gap, the file could not be cut, and
    // the gap got its record back: the table is as before, never S, Q, S.
    EXPECT_EQ(Describe(SnapshotFile(path)), "[1|P][2|Q][3|S]");
    EXPECT_EQ(t.RecordCount(), 3);
    ExpectMemoryMatchesFile(t);
}

TEST_F(Failure, DeleteOfTheLastRecordWhoseTruncationFails) {
    TCustomTable t(fs);
    OpenWith(t, {{1, "P"}, {2, "Q"}});
    fs.FailTruncate(1);
    EXPECT_THROW(t.DeleteRecord(1), EInOutError);
    EXPECT_EQ(t.RecordCount(), 2);
    ExpectMemoryMatchesFile(t);
}

TEST_F(Failure, ClearWhoseTruncationFailsKeepsEveryRecord) {
    TCustomTable t(fs);
    OpenWith(t, {{1, "P"}, {2, "Q"}, {3, "S"}});
    fs.FailTruncate(1);
    EXPECT_THROW(t.ClearTable(), EInOutError);
    EXPECT_EQ(t.RecordCount(), 3);
    ExpectMemoryMatchesFile(t);
    t.ClearTable();
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_EQ(FileSize(path), 128);
    EXPECT_EQ(fs.Truncates(), 2);
}

TEST_F(Failure, ClearWhosePendingPostFailsClearsNothing) {
    TCustomTable t(fs);
    OpenWith(t, {{1, "P"}});
    t.SetFieldValue("Code", 5);
    fs.FailWrite(1);
    EXPECT_THROW(t.ClearTable(), EInOutError);
    EXPECT_EQ(t.RecordCount(), 1);
    EXPECT_EQ(fs.Truncates(), 0);
    t.DiscardPending();
    ExpectMemoryMatchesFile(t);
}

TEST_F(Failure, AddFieldWhoseWriteFailsLeavesTheCatalogue) {
    TCustomTable t(fs);
    OpenWith(t, {});
    fs.FailWrite(1);
    EXPECT_THROW(t.AddField("More", kFieldInteger, 4), EInOutError);
    EXPECT_EQ(t.Fields().Count(), 2);
    EXPECT_EQ(t.RecordSize(), 38);
    EXPECT_EQ(FileSize(path), 128);
    EXPECT_EQ(t.AddField("More", kFieldInteger, 4), 0);
    EXPECT_EQ(FileSize(path), 176);
}

TEST_F(Failure, EveryWriteOfAnImportFailingInTurn) {
    // Fill a table record by record with the Nth write failing, for every N:
    // whatever happened, a reopened file reads exactly what memory holds.
    for (int n = 1; n <= 8; ++n) {
        TCustomTable t(fs);
        OpenWith(t, {});
        fs.FailWrite(n);
        try {
            for (int i = 0; i < 5; ++i) {
                t.AppendRecord();
                t.SetFieldValue("Code", i);
                t.SetFieldValue("Name", "n" + std::to_string(i));
                t.Post();
            }
        } catch (const EInOutError&) {
            t.DiscardPending();
        }
        fs.Heal();
        ExpectMemoryMatchesFile(t);
        t.Close();
    }
}

TEST_F(Failure, FailedReadInsideOpenReleasesTheFile) {
    CreateResourcesFile(path, {{1, "a"}});
    TCustomTable t(fs);
    fs.FailRead(true);
    EXPECT_THROW(t.Open(path), EInOutError);
    EXPECT_FALSE(t.Opened());
    EXPECT_EQ(fs.LiveFiles(), 0);
    fs.FailRead(false);
    EXPECT_EQ(t.Open(path), TOpenStatus::Opened);
    EXPECT_EQ(fs.LiveFiles(), 1);
    t.Close();
    EXPECT_EQ(fs.LiveFiles(), 0);
}

TEST_F(Failure, PartialRecordInsideOpenReleasesTheFileAndWhatWasRead) {
    CreateResourcesFile(path, {{1, "a"}, {2, "b"}});
    auto bytes = ReadBytes(path);
    bytes.pop_back();
    WriteBytes(path, bytes);
    TCustomTable t(fs);
    EXPECT_THROW(t.Open(path), EInOutError);
    EXPECT_EQ(fs.LiveFiles(), 0);
    EXPECT_EQ(t.Fields().Count(), 0);
    EXPECT_EQ(t.RecordCount(), 0);
}

TEST_F(Failure, CloseWhosePostFailsKeepsTheTableOpen) {
    TCustomTable t(fs);
    OpenWith(t, {{1, "a"}});
    t.SetFieldValue("Code", 2);
    fs.FailWrite(1, true);
    EXPECT_THROW(t.Close(), EInOutError);
    EXPECT_TRUE(t.Opened());
    t.DiscardPending();
    t.Close();
    EXPECT_FALSE(t.Opened());
    EXPECT_EQ(fs.LiveFiles(), 0);
    EXPECT_EQ(Describe(SnapshotFile(path)), "[1|a]");
}

TEST_F(Failure, DestructorReportsAFailedPostAndDoesNotThrow) {
    CreateResourcesFile(path, {{1, "a"}});
    testing::internal::CaptureStderr();
    {
        auto t = std::make_unique<TCustomTable>(fs);
        ASSERT_EQ(t->Open(path), TOpenStatus::Opened);
        t->SetFieldValue("Code", 2);
        fs.FailWrite(1, true);
        EXPECT_NO_THROW(t.reset());
    }
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("injected write failure"), std::string::npos) << err;
    EXPECT_NE(err.find(path), std::string::npos) << err;
    EXPECT_EQ(fs.LiveFiles(), 0);
    EXPECT_EQ(Describe(SnapshotFile(path)), "[1|a]");
}

}  // namespace
