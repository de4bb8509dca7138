// What the engine does off the happy path: tables that cannot be changed
// (read-only files, another holder of the lock, opened for reading), the
// flush at the end, errors that name their file, and the cursor after a
// deletion or a clear.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <new>

#include "CustomTable.h"
#include "KelvErrors.h"
#include "StorageTestSupport.h"
#include "TableCheck.h"

using namespace kelvtest;

namespace {

class Safety : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.Path("Resources.dat");
    FaultyFileSystem fs;

    void Append(TCustomTable& t, int32_t code) {
        t.AppendRecord();
        t.SetFieldValue("Code", code);
        t.Post();
    }
    // Every change a table could make, each expected to raise `text` with the
    // given code and the file named, and to leave the file untouched.
    void ExpectNoChangePossible(TCustomTable& t, const std::string& text, int code) {
        const auto bytes = ReadBytes(path);
        const auto expect = [&](const char* what, const std::function<void()>& change) {
            try {
                change();
                ADD_FAILURE() << what << " changed a read-only table";
            } catch (const EInOutError& e) {
                EXPECT_EQ(e.what(), text) << what;
                EXPECT_EQ(e.Code(), code) << what;
                EXPECT_EQ(e.File(), path) << what;
            }
            EXPECT_EQ(ReadBytes(path), bytes) << what;
        };
        expect("Post", [&] { t.AppendRecord(); t.SetFieldValue("Code", 7); t.Post(); });
        t.DiscardPending();
        expect("DeleteRecord", [&] { t.DeleteRecord(0); });
        expect("ClearTable", [&] { t.ClearTable(); });
        t.SetFieldValue("Code", 8);
        expect("Close of a pending change", [&] { t.Close(); });
        EXPECT_FALSE(t.Opened());
    }
};

// --- Tables that cannot be changed ----------------------------------------------

TEST_F(Safety, AFileThatCannotBeWrittenOpensForReading) {
    CreateResourcesFile(path, {{1, "a"}, {2, "b"}});
    for (int refusal : {EACCES, EROFS, EPERM}) {
        fs.RefuseWriteOpens(refusal);
        TCustomTable t(fs);
        ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
        EXPECT_EQ(t.ReadOnlyReason(), TReadOnlyReason::FileReadOnly);
        EXPECT_EQ(Describe(Snapshot(t)), "[1|a][2|b]");
        ExpectNoChangePossible(t, "the table file is read-only", EACCES);
    }
    CreateResourcesFile(path);  // a catalogue that could still grow
    TCustomTable t(fs);
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    EXPECT_EQ(MessageOf<EInOutError>([&] { t.AddField("X", kFieldInteger, 4); }), "the table file is read-only");
    EXPECT_EQ(t.Fields().Count(), 2);
    EXPECT_EQ(fs.Writes() + fs.Truncates(), 0);
}

TEST_F(Safety, ThePermissionsOfARealFileMakeItReadOnly) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
    CreateResourcesFile(path, {{1, "a"}});
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    TCustomTable t;
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    EXPECT_EQ(t.ReadOnlyReason(), TReadOnlyReason::FileReadOnly);
    ExpectNoChangePossible(t, "the table file is read-only", EACCES);
}

TEST_F(Safety, ASecondWriterFindsTheTableInUseUntilTheFirstCloses) {
    CreateResourcesFile(path, {{1, "a"}});
    TCustomTable first;
    ASSERT_EQ(first.Open(path), TOpenStatus::Opened);
    EXPECT_FALSE(first.ReadOnly());
    {
        TCustomTable second;
        ASSERT_EQ(second.Open(path), TOpenStatus::Opened);
        EXPECT_EQ(second.ReadOnlyReason(), TReadOnlyReason::InUse);
        EXPECT_EQ(second.RecordCount(), 1);
        ExpectNoChangePossible(second, "the table file is in use by another KelvMap process", EWOULDBLOCK);
        // Nor can the file be made anew under the holder.
        TCustomTable maker;
        EXPECT_EQ(MessageOf<EInOutError>([&] { maker.CreateTableFile(path); }),
                  "the table file is in use by another KelvMap process");
        EXPECT_EQ(FileSize(path), 128 + 38);
    }
    Append(first, 2);  // the holder goes on changing it
    first.Close();
    TCustomTable third;
    ASSERT_EQ(third.Open(path), TOpenStatus::Opened);
    EXPECT_FALSE(third.ReadOnly());
    Append(third, 3);
    EXPECT_EQ(third.RecordCount(), 3);
}

TEST_F(Safety, OpenForReadingNeitherTakesNorWaitsForTheLock) {
    CreateResourcesFile(path, {{1, "a"}});
    TCustomTable holder;
    ASSERT_EQ(holder.Open(path), TOpenStatus::Opened);
    TCustomTable reader;
    ASSERT_EQ(reader.Open(path, TOpenMode::ReadOnly), TOpenStatus::Opened);
    EXPECT_EQ(reader.ReadOnlyReason(), TReadOnlyReason::OpenedForReading);
    ExpectNoChangePossible(reader, "the table is open for reading only", EBADF);
    holder.Close();
    TCustomTable reader2;
    ASSERT_EQ(reader2.Open(path, TOpenMode::ReadOnly), TOpenStatus::Opened);
    TCustomTable writer;  // the reader holds no lock
    ASSERT_EQ(writer.Open(path), TOpenStatus::Opened);
    EXPECT_FALSE(writer.ReadOnly());
}

TEST_F(Safety, ATableInUseIsReadWithoutTheRecordTheHolderIsWriting) {
    CreateResourcesFile(path, {{1, "a"}});
    TCustomTable holder;
    ASSERT_EQ(holder.Open(path), TOpenStatus::Opened);
    auto bytes = ReadBytes(path);
    bytes.resize(bytes.size() + 10);  // the start of a record being written
    WriteBytes(path, bytes);
    TCustomTable reader;
    ASSERT_EQ(reader.Open(path), TOpenStatus::Opened);
    EXPECT_EQ(reader.RecordCount(), 1);
    holder.Close();
    // Without a holder the same file is damaged.
    TCustomTable again;
    EXPECT_THROW(again.Open(path), EInOutError);
}

// --- Flushing and closing -----------------------------------------------------------

TEST_F(Safety, TheFileIsFlushedAtCloseAndAtTheEndOfGatheredAppendsNeverPerPost) {
    CreateResourcesFile(path);
    TCustomTable t(fs);
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    for (int32_t i = 0; i < 10; ++i) Append(t, i);
    EXPECT_EQ(fs.Syncs(), 0);
    t.BeginBulkAppend();
    Append(t, 10);
    t.EndBulkAppend();
    EXPECT_EQ(fs.Syncs(), 1);
    Append(t, 11);
    t.Close();
    EXPECT_EQ(fs.Syncs(), 2);
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    t.Close();  // nothing written: nothing to flush
    EXPECT_EQ(fs.Syncs(), 2);
}

// --- Errors that name their file ------------------------------------------------

TEST_F(Safety, OnlyAPartialTailIsReportedWithTheRepairCommand) {
    CreateResourcesFile(path, {{1, "a"}});
    const auto bytes = ReadBytes(path);
    for (const size_t size : {bytes.size() - 1, size_t{20}}) {  // inside the record; inside the header
        WriteBytes(path, std::vector<uint8_t>(bytes.begin(), bytes.begin() + int64_t(size)));
        TCustomTable t;
        try {
            t.Open(path);
            ADD_FAILURE() << "opened";
        } catch (const EInOutError& e) {
            EXPECT_EQ(DescribeError(e), path + ": Read beyond end of file" +
                                            (size > 20 ? "\nrun 'kelvmap-cli repair " + path + "' to recover its whole records"
                                                       : ""));
        }
    }
}

TEST_F(Safety, AFileOverTwoGibibytesIsTooLargeNotDamaged) {
    CreateResourcesFile(path);
    ASSERT_EQ(::truncate(path.c_str(), (int64_t{1} << 31) + 1), 0);  // sparse
    TCustomTable t;
    EXPECT_EQ(MessageOf<EInOutError>([&] { t.Open(path); }),
              "the table file is larger than the table format's 2 GiB limit");
    EXPECT_EQ(CheckTableFile(DefaultTableFileSystem(), path).Problem,
              "the table file is larger than the table format's 2 GiB limit");
}

TEST_F(Safety, RunningOutOfMemoryNamesTheFile) {
    CreateResourcesFile(path);
    fs.OutOfMemory(true);
    TCustomTable t(fs);
    try {
        t.Open(path);
        ADD_FAILURE() << "opened";
    } catch (const EKelvError& e) {
        EXPECT_EQ(DescribeError(e), path + ": not enough memory");
    }
    EXPECT_EQ(DescribeError(std::bad_alloc()), "not enough memory");
}

// --- The cursor after a deletion or a clear ---------------------------------------

TEST_F(Safety, NothingIsSetAfterDeletingARecordThatIsNotTheLast) {
    CreateResourcesFile(path, {{1, "P"}, {2, "Q"}, {3, "S"}});
    TCustomTable t;
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    t.DeleteRecord(0);
    EXPECT_THROW(t.SetFieldValue("Code", 5), EListError);
    t.Post();
    t.Close();
    EXPECT_EQ(Describe(SnapshotFile(path)), "[3|S][2|Q]");  // S, moved into place 0, is not lost
}

TEST_F(Safety, AfterClearingANewRecordStartsFromWhatDeletingOneByOneLeaves) {
    for (const auto& [records, expected] :
         {std::pair{std::vector<std::pair<int32_t, std::string>>{{1, "P"}, {2, "Q"}, {3, "S"}}, "[9|Q]"},
          std::pair{std::vector<std::pair<int32_t, std::string>>{{1, "P"}}, "[9|P]"}}) {
        CreateResourcesFile(path, records);
        TCustomTable t;
        ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
        t.ClearTable();
        EXPECT_THROW(t.SetFieldValue("Code", 5), EListError);
        t.GoToRecord(-1);
        t.SetFieldValue("Code", 9);
        t.Post();
        t.Close();
        EXPECT_EQ(Describe(SnapshotFile(path)), expected);
    }
}

}  // namespace
