// The operations of TCustomTable: opening, the cursor and buffer,
// conversions, field lookup, search, deletion and clearing.
#include <gtest/gtest.h>

#include <filesystem>

#include "CustomTable.h"
#include "KelvErrors.h"
#include "StorageTestSupport.h"

using namespace kelvtest;

namespace {

class Engine : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.Path("Resources.dat");

    // Opens `table` on a resources file holding the given records.
    void OpenWith(TCustomTable& table, const std::vector<std::pair<int32_t, std::string>>& records) {
        CreateResourcesFile(path, records);
        ASSERT_EQ(table.Open(path), TOpenStatus::Opened);
    }
};

// --- Opening -----------------------------------------------------------------

TEST_F(Engine, OpenOfAnOpenTableReturnsMinusOneAndChangesNothing) {
    TCustomTable t;
    OpenWith(t, {{1, "a"}, {2, "b"}});
    t.GoToRecord(1);
    const std::string other = dir.Path("Other.dat");
    CreateResourcesFile(other);
    EXPECT_EQ(t.Open(other), TOpenStatus::AlreadyOpen);
    EXPECT_EQ(t.FileName(), path);
    EXPECT_EQ(t.CurrentIndex(), 1);
    EXPECT_EQ(t.RecordCount(), 2);
}

TEST_F(Engine, OpenOfAMissingFileReturnsTwo) {
    TCustomTable t;
    EXPECT_EQ(t.Open(dir.Path("missing.dat")), TOpenStatus::FileNotFound);
    EXPECT_FALSE(t.Opened());
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_NO_THROW(t.GoToRecord(0));
    EXPECT_EQ(MessageOf<EListError>([&] { t.SetFieldValue("Code", 1); }), "List index out of bounds (-1)");
}

TEST_F(Engine, FileThatIsNotATableIsRefusedAndNotHeldOpen) {
    WriteBytes(path, std::vector<uint8_t>(64, 'x'));
    const int fdsBefore = OpenDescriptorCount();
    TCustomTable t;
    EXPECT_EQ(t.Open(path), TOpenStatus::NotTableFile);
    EXPECT_FALSE(t.Opened());
    EXPECT_EQ(OpenDescriptorCount(), fdsBefore);
    ASSERT_TRUE(std::filesystem::remove(path));
    EXPECT_EQ(t.CreateTableFile(path), 0);
    EXPECT_EQ(t.Open(path), TOpenStatus::Opened);
}

TEST_F(Engine, OpenWithRecordsMakesRecordZeroCurrent) {
    TCustomTable t;
    OpenWith(t, {{7, "first"}, {8, "second"}});
    EXPECT_TRUE(t.Opened());
    EXPECT_FALSE(t.IsNew());
    EXPECT_EQ(t.CurrentIndex(), 0);
    EXPECT_EQ(t.CurrentPos(), 128);
    EXPECT_EQ(t.GetFieldValue("Name").StrValue(), "first");
}

TEST_F(Engine, OpenWithFieldsAndNoRecordsMakesANewRecordCurrent) {
    TCustomTable t;
    OpenWith(t, {});
    EXPECT_TRUE(t.IsNew());
    EXPECT_EQ(t.CurrentIndex(), 0);
    EXPECT_TRUE(t.GetFieldValue("Code").IsEmpty());
    EXPECT_TRUE(t.GetFieldValue("NoSuchField").IsEmpty());  // not even looked up
}

// --- The catalogue -------------------------------------------------------------

TEST_F(Engine, AddFieldGrowsTheFileUntilTheFirstPost) {
    TCustomTable t;
    ASSERT_EQ(t.CreateTableFile(path), 0);
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    EXPECT_EQ(t.AddField("Code", kFieldInteger, 4), 0);
    EXPECT_EQ(FileSize(path), 80);
    EXPECT_EQ(t.AddField("Name", kFieldString, 32), 0);
    EXPECT_EQ(FileSize(path), 128);
    t.AppendRecord();
    t.SetFieldValue("Code", 5);
    t.Post();
    EXPECT_EQ(t.AddField("Late", kFieldInteger, 4), TCustomTable::kStatusCatalogueFrozen);
    EXPECT_EQ(t.Fields().Count(), 2);
    t.ClearTable();
    EXPECT_EQ(t.AddField("Late", kFieldInteger, 4), TCustomTable::kStatusCatalogueFrozen);
    EXPECT_EQ(FileSize(path), 128);
}

TEST_F(Engine, AddFieldRefusesWhatTheFormatCannotStore) {
    TCustomTable t;
    ASSERT_EQ(t.CreateTableFile(path), 0);
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    struct Case { uint8_t type; int32_t size; };
    for (const Case c : {Case{2, 4}, Case{255, 4}, Case{0, 0}, Case{0, 2}, Case{0, 8}, Case{0, -4}, Case{1, 0},
                         Case{1, -1}, Case{1, 256}, Case{1, INT32_MAX}}) {
        EXPECT_EQ(t.AddField("F", c.type, c.size), TCustomTable::kStatusBadFieldDefinition)
            << "type " << int{c.type} << " size " << c.size;
    }
    EXPECT_EQ(t.Fields().Count(), 0);
    EXPECT_EQ(FileSize(path), 32);
    EXPECT_EQ(t.AddField("Short", kFieldString, 1), 0);
    EXPECT_EQ(t.AddField("Long", kFieldString, 255), 0);
    EXPECT_EQ(t.RecordSize(), 1 + 2 + 256);
}

TEST_F(Engine, RepeatedFieldNameSelectsTheLaterField) {
    TCustomTable t;
    ASSERT_EQ(t.CreateTableFile(path), 0);
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    ASSERT_EQ(t.AddField("A", kFieldInteger, 4), 0);
    ASSERT_EQ(t.AddField("A", kFieldInteger, 4), 0);
    EXPECT_EQ(t.FieldIndex("A"), 1);
    EXPECT_EQ(t.FieldIndex("a"), -1);
    EXPECT_EQ(t.FieldIndex(0), 0);
    EXPECT_EQ(t.FieldIndex(FieldValue()), -1);
}

TEST_F(Engine, FieldsAreAddressedByExactNameOrByNumber) {
    TCustomTable t;
    OpenWith(t, {{3, "x"}});
    EXPECT_EQ(MessageOf<EListError>([&] { (void)t.GetFieldValue("code"); }), "List index out of bounds (-1)");
    EXPECT_EQ(t.GetFieldValue(1).StrValue(), "x");
    EXPECT_EQ(MessageOf<EListError>([&] { (void)t.GetFieldValue(99); }), "List index out of bounds (99)");
    EXPECT_EQ(MessageOf<EListError>([&] { t.SetFieldValue(99, 1); }), "List index out of bounds (99)");
    EXPECT_EQ(MessageOf<EListError>([&] { t.SetFieldValue(-1, 1); }), "List index out of bounds (-1)");
    EXPECT_FALSE(t.Modified());
}

// --- Records and the buffer ------------------------------------------------------

TEST_F(Engine, FirstPostIntoAnEmptyTableSetsDataStart) {
    TCustomTable t;
    OpenWith(t, {});
    EXPECT_EQ(t.DataStart(), 0);
    t.AppendRecord();
    t.SetFieldValue("Code", 5);
    t.Post();
    EXPECT_EQ(t.DataStart(), 128);
    EXPECT_EQ(LE32(ReadBytes(path), 8), 128);
    EXPECT_EQ(FileSize(path), 128 + 38);
    EXPECT_EQ(t.RecordCount(), 1);
}

TEST_F(Engine, AppendAndPostWithoutSettingStoresNothing) {
    TCustomTable t;
    OpenWith(t, {{1, "a"}});
    t.AppendRecord();
    t.Post();
    t.Close();
    EXPECT_EQ(FileSize(path), 128 + 38);
}

TEST_F(Engine, ANewRecordReadsEmptyUntilPostedAndVisited) {
    TCustomTable t;
    OpenWith(t, {{1, "a"}});
    t.AppendRecord();
    t.SetFieldValue("Code", 5);
    EXPECT_TRUE(t.GetFieldValue("Code").IsEmpty());
    t.Post();
    EXPECT_FALSE(t.IsNew());
    EXPECT_EQ(t.CurrentIndex(), 1);
    t.GoToRecord(t.RecordCount() - 1);
    EXPECT_EQ(t.GetFieldValue("Code").IntValue(), 5);
    EXPECT_EQ(t.GetFieldValue("Name").StrValue(), "");  // appended records start as zeros
}

TEST_F(Engine, PendingChangesOfAStoredRecordAreReadFromTheBuffer) {
    TCustomTable t;
    OpenWith(t, {{1, "a"}, {2, "b"}});
    t.SetFieldValue("Name", "changed");
    EXPECT_EQ(t.GetFieldValue("Name").StrValue(), "changed");
    EXPECT_TRUE(t.Modified());
    t.GoToRecord(1);  // stores record 0 first
    EXPECT_FALSE(t.Modified());
    EXPECT_EQ(Describe(SnapshotFile(path)), "[1|changed][2|b]");
}

TEST_F(Engine, ValuesAreConvertedToTheFieldType) {
    TCustomTable t;
    ASSERT_EQ(t.CreateTableFile(path), 0);
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    ASSERT_EQ(t.AddField("Code", kFieldInteger, 4), 0);
    ASSERT_EQ(t.AddField("S", kFieldString, 4), 0);
    t.AppendRecord();
    t.SetFieldValue("S", "Abcdef");
    t.SetFieldValue("Code", "42");
    t.Post();
    t.GoToRecord(0);
    EXPECT_EQ(t.GetFieldValue("S").StrValue(), "Abcd");
    EXPECT_EQ(t.GetFieldValue("Code").IntValue(), 42);
    t.SetFieldValue("S", -7);
    EXPECT_EQ(t.GetFieldValue("S").StrValue(), "-7");
    t.Post();
    EXPECT_EQ(MessageOf<EVariantError>([&] { t.SetFieldValue("Code", "4x"); }), "Invalid variant type conversion");
    EXPECT_FALSE(t.Modified());
    EXPECT_EQ(t.GetFieldValue("Code").IntValue(), 42);
    t.SetFieldValue("Code", FieldValue());
    t.SetFieldValue("S", FieldValue());
    EXPECT_EQ(t.GetFieldValue("Code").IntValue(), 0);
    EXPECT_EQ(t.GetFieldValue("S").StrValue(), "");
    t.Close();
    const auto bytes = ReadBytes(path);
    // Length byte 4 then "Abcd" before, now length 0 with the old bytes left behind.
    EXPECT_EQ(bytes[128 + 5], 0);
    EXPECT_EQ(std::string(bytes.begin() + 128 + 6, bytes.begin() + 128 + 8), "-7");
}

TEST_F(Engine, GoToMinusOneKeepsTheBytesOfThePreviousRecord) {
    TCustomTable t;
    OpenWith(t, {{1, "kept"}});
    t.GoToRecord(-1);
    EXPECT_TRUE(t.IsNew());
    EXPECT_EQ(t.CurrentIndex(), 1);
    EXPECT_EQ(t.CurrentPos(), 128 + 38);
    t.SetFieldValue("Code", 2);
    t.Post();
    EXPECT_EQ(Describe(Snapshot(t)), "[1|kept][2|kept]");
}

TEST_F(Engine, GoToRecordCountIsANewRecord) {
    TCustomTable t;
    OpenWith(t, {{1, "a"}});
    t.GoToRecord(1);
    EXPECT_TRUE(t.IsNew());
    EXPECT_EQ(t.CurrentIndex(), 1);
}

TEST_F(Engine, GoToAMissingRecordFailsAfterStoringPendingChanges) {
    TCustomTable t;
    OpenWith(t, {{1, "a"}});
    t.SetFieldValue("Code", 10);
    EXPECT_EQ(MessageOf<EListError>([&] { t.GoToRecord(5); }), "List index out of bounds (5)");
    EXPECT_EQ(MessageOf<EListError>([&] { t.GoToRecord(-2); }), "List index out of bounds (-2)");
    EXPECT_EQ(Describe(SnapshotFile(path)), "[10|a]");
    // No record is current: nothing can be set until the caller moves.
    EXPECT_THROW(t.SetFieldValue("Code", 3), EListError);
    t.GoToRecord(0);
    EXPECT_EQ(t.GetFieldValue("Code").IntValue(), 10);
}

TEST_F(Engine, GoToRecordWithoutFieldsDoesNothing) {
    TCustomTable t;
    ASSERT_EQ(t.CreateTableFile(path), 0);
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    EXPECT_NO_THROW(t.GoToRecord(7));
    EXPECT_NO_THROW(t.AppendRecord());
}

TEST_F(Engine, CloseAndDestructorStoreAPendingRecord) {
    {
        TCustomTable t;
        OpenWith(t, {});
        t.AppendRecord();
        t.SetFieldValue("Code", 1);
        t.Close();
        EXPECT_FALSE(t.Opened());
        EXPECT_EQ(t.RecordCount(), 0);
        EXPECT_EQ(t.Fields().Count(), 0);
    }
    {
        TCustomTable t;
        ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
        t.AppendRecord();
        t.SetFieldValue("Code", 2);
    }
    EXPECT_EQ(Describe(SnapshotFile(path)), "[1|][2|]");
}

TEST_F(Engine, DiscardPendingDropsAHalfFilledRecord) {
    {
        TCustomTable t;
        OpenWith(t, {{1, "a"}});
        t.AppendRecord();
        t.SetFieldValue("Code", 99);
        t.DiscardPending();
        EXPECT_FALSE(t.Modified());
        // A later change to the same new record does not bring the dropped value back.
        t.SetFieldValue("Name", "n");
        t.Post();
        t.GoToRecord(0);
        t.SetFieldValue("Name", "changed");
        t.DiscardPending();
        EXPECT_EQ(t.GetFieldValue("Name").StrValue(), "a");
    }
    EXPECT_EQ(Describe(SnapshotFile(path)), "[1|a][0|n]");
}

// --- Search -----------------------------------------------------------------------

TEST_F(Engine, LocateAndFindNextVisitEveryMatchInOrder) {
    TCustomTable t;
    OpenWith(t, {{7, "a"}, {3, "b"}, {7, "c"}});
    EXPECT_EQ(t.Locate("Code", 7), 0);
    EXPECT_EQ(t.FindNext(), 2);
    EXPECT_EQ(t.FindNext(), -1);
    EXPECT_EQ(t.FindNext(), -1);
    t.AppendRecord();
    t.SetFieldValue("Code", 7);
    t.Post();
    EXPECT_EQ(t.FindNext(), 3);
    EXPECT_EQ(t.FindNext(), -1);
    EXPECT_EQ(t.Locate("Name", "b"), 1);
    EXPECT_EQ(t.Locate("Name", "B"), -1);
    EXPECT_EQ(t.Locate(0, 3), 1);  // by field number
}

TEST_F(Engine, SearchSeesOnlyStoredRecords) {
    TCustomTable t;
    OpenWith(t, {{1, "a"}, {2, "b"}});
    t.GoToRecord(1);
    t.SetFieldValue("Code", 5);
    EXPECT_EQ(t.Locate("Code", 5), -1);
    EXPECT_EQ(t.Locate("Code", 2), 1);
    EXPECT_TRUE(t.Modified());  // nothing was posted
    t.AppendRecord();           // posts record 1
    t.SetFieldValue("Code", 6);
    EXPECT_EQ(t.Locate("Code", 6), -1);
    EXPECT_EQ(t.Locate("Code", 5), 1);
}

TEST_F(Engine, SearchStateSurvivesCursorMovesAndReopening) {
    TCustomTable t;
    OpenWith(t, {{7, "a"}, {7, "b"}, {7, "c"}});
    EXPECT_EQ(t.Locate("Code", 7), 0);
    t.GoToRecord(2);
    t.Close();
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    EXPECT_EQ(t.FindNext(), 1);
    EXPECT_EQ(t.FindNext(), 2);
}

TEST_F(Engine, MixedTypeSearches) {
    TCustomTable t;
    OpenWith(t, {{12, "12"}, {5, "abc"}, {6, " 12 "}});
    EXPECT_EQ(t.Locate("Name", 12), 0);
    EXPECT_EQ(MessageOf<EVariantError>([&] { (void)t.FindNext(); }), "Invalid variant type conversion");
    // The failed comparison leaves the search where it was.
    EXPECT_EQ(MessageOf<EVariantError>([&] { (void)t.FindNext(); }), "Invalid variant type conversion");
    EXPECT_EQ(t.Locate("Code", "5"), 1);
    EXPECT_EQ(MessageOf<EVariantError>([&] { (void)t.Locate("Code", "five"); }), "Invalid variant type conversion");
    EXPECT_EQ(MessageOf<EVariantError>([&] { (void)t.Locate("Code", FieldValue()); }), "Invalid variant operation");
    EXPECT_EQ(MessageOf<EVariantError>([&] { (void)t.Locate("Name", FieldValue()); }), "Invalid variant operation");
}

TEST_F(Engine, LocateOnAnUnknownFieldFailsEvenOnAnEmptyTable) {
    TCustomTable t;
    OpenWith(t, {});
    EXPECT_EQ(MessageOf<EListError>([&] { (void)t.Locate("Nope", 1); }), "List index out of bounds (-1)");
    EXPECT_EQ(MessageOf<EListError>([&] { (void)t.Locate(2, 1); }), "List index out of bounds (2)");
    EXPECT_EQ(t.Locate("Code", FieldValue()), -1);  // nothing to compare with
}

TEST_F(Engine, StringSearchStopsAtAZeroByte) {
    TCustomTable t;
    OpenWith(t, {{1, std::string("Ore\0junk", 8)}});
    EXPECT_EQ(t.Locate("Name", "Ore"), 0);
    EXPECT_EQ(t.Locate("Name", std::string("Ore\0other", 9)), 0);
}

// --- Deletion and clearing ----------------------------------------------------------

TEST_F(Engine, DeleteRecordWithABadNumberChangesNothing) {
    TCustomTable t;
    OpenWith(t, {{1, "a"}, {2, "b"}});
    t.SetFieldValue("Code", 9);
    for (int32_t n : {-1, 2, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(MessageOf<ERangeError>([&] { t.DeleteRecord(n); }), "Неправильный индекс!") << n;
    }
    EXPECT_TRUE(t.Modified());
    EXPECT_EQ(t.RecordCount(), 2);
    EXPECT_EQ(FileSize(path), 128 + 2 * 38);
}

TEST_F(Engine, DeletingMovesTheLastRecordIntoTheGap) {
    TCustomTable t;
    OpenWith(t, {{1, "P"}, {2, "Q"}, {3, "S"}});
    t.DeleteRecord(0);
    EXPECT_EQ(t.RecordCount(), 2);
    EXPECT_EQ(t.CurrentIndex(), 0);
    EXPECT_FALSE(t.IsNew());
    EXPECT_EQ(t.GetFieldValue("Name").StrValue(), "P");  // the buffer still holds the deleted record
    EXPECT_EQ(FileSize(path), 128 + 2 * 38);
    EXPECT_EQ(Describe(Snapshot(t)), "[3|S][2|Q]");
    EXPECT_EQ(Describe(SnapshotFile(path)), "[3|S][2|Q]");
    t.DeleteRecord(1);  // the last one: the file only gets shorter
    EXPECT_EQ(Describe(Snapshot(t)), "[3|S]");
    EXPECT_EQ(Describe(SnapshotFile(path)), "[3|S]");
    t.DeleteRecord(0);
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_EQ(FileSize(path), 128);
    EXPECT_EQ(t.DataStart(), 128);
}

TEST_F(Engine, DeleteStoresPendingChangesFirst) {
    TCustomTable t;
    OpenWith(t, {{1, "P"}, {2, "Q"}});
    t.GoToRecord(1);
    t.SetFieldValue("Name", "Q2");
    t.DeleteRecord(0);
    EXPECT_EQ(Describe(SnapshotFile(path)), "[2|Q2]");
}

TEST_F(Engine, ClearTableLeavesHeaderAndCatalogue) {
    for (int count : {0, 1, 2, 7}) {
        std::vector<std::pair<int32_t, std::string>> recs;
        for (int i = 0; i < count; ++i) recs.emplace_back(i, "r" + std::to_string(i));
        TCustomTable t;
        OpenWith(t, recs);
        const int32_t dataStart = t.DataStart();
        t.ClearTable();
        EXPECT_EQ(t.RecordCount(), 0) << count;
        EXPECT_EQ(FileSize(path), 128) << count;
        EXPECT_EQ(t.DataStart(), dataStart) << count;
        EXPECT_EQ(LE32(ReadBytes(path), 8), dataStart) << count;
        t.Close();
    }
}

TEST_F(Engine, ClearTableAlsoRemovesAPendingNewRecord) {
    TCustomTable t;
    OpenWith(t, {{1, "a"}});
    t.AppendRecord();
    t.SetFieldValue("Code", 2);
    t.ClearTable();
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_EQ(FileSize(path), 128);
    // Filling again after clearing, as an import does.
    t.AppendRecord();
    t.SetFieldValue("Code", 3);
    t.Post();
    t.Close();
    EXPECT_EQ(Describe(SnapshotFile(path)), "[3|]");
}

TEST_F(Engine, NothingIsSetAfterDeletingTheLastRecord) {
    TCustomTable t;
    OpenWith(t, {{1, "a"}});
    t.DeleteRecord(0);
    EXPECT_THROW(t.SetFieldValue("Code", 5), EListError);
    t.Close();
    EXPECT_EQ(FileSize(path), 128);
}

}  // namespace
