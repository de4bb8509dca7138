// The bytes of the table file format, written and read back.
#include <gtest/gtest.h>

#include "CustomTable.h"
#include "KelvErrors.h"
#include "StorageTestSupport.h"

using namespace kelvtest;

namespace {

const std::vector<uint8_t> kMagic = {0x06, 0x2E, 0x61, 0x62, 0x79, 0x7A, 0x2E};

std::vector<uint8_t> Header(int32_t dataStart) {
    std::vector<uint8_t> h(32, 0);
    std::copy(kMagic.begin(), kMagic.end(), h.begin());
    PutLE32(h, 8, dataStart);
    return h;
}

class FileFormat : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.Path("Resources.dat");
};

TEST_F(FileFormat, FreshFileIsExactlyTheHeader) {
    TCustomTable t;
    ASSERT_EQ(t.CreateTableFile(path), 0);
    EXPECT_FALSE(t.Opened());
    EXPECT_EQ(ReadBytes(path), Header(0));
}

TEST_F(FileFormat, CreateEmptiesAnExistingFile) {
    WriteBytes(path, std::vector<uint8_t>(500, 0xAB));
    TCustomTable t;
    ASSERT_EQ(t.CreateTableFile(path), 0);
    EXPECT_EQ(ReadBytes(path), Header(0));
}

// The worked example of the format (a resources table), byte for byte.
TEST_F(FileFormat, WorkedExampleResourcesTableWithOneRecord) {
    CreateResourcesFile(path, {{12, "Ore"}});

    std::vector<uint8_t> expected(166, 0);
    const auto put = [&](size_t at, std::initializer_list<uint8_t> bytes) {
        std::copy(bytes.begin(), bytes.end(), expected.begin() + static_cast<std::ptrdiff_t>(at));
    };
    put(0, {0x06, 0x2E, 0x61, 0x62, 0x79, 0x7A, 0x2E});
    put(7, {0x00});
    put(8, {0x80, 0x00, 0x00, 0x00});
    put(32, {0x04, 0x43, 0x6F, 0x64, 0x65});
    put(64, {0x00});
    put(68, {0x04, 0x00, 0x00, 0x00});
    put(72, {0x00, 0x00, 0x00, 0x00});
    put(76, {0x01, 0x00, 0x00, 0x00});
    put(80, {0x04, 0x4E, 0x61, 0x6D, 0x65});
    put(112, {0x01});
    put(116, {0x21, 0x00, 0x00, 0x00});
    put(120, {0x00, 0x00, 0x00, 0x00});
    put(124, {0x05, 0x00, 0x00, 0x00});
    put(128, {0x00});
    put(129, {0x0C, 0x00, 0x00, 0x00});
    put(133, {0x03, 0x4F, 0x72, 0x65});

    EXPECT_EQ(ReadBytes(path), expected);
}

TEST_F(FileFormat, WorkedExampleReadsBack) {
    CreateResourcesFile(path, {{12, "Ore"}});
    TCustomTable t;
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    EXPECT_EQ(t.RecordCount(), 1);
    EXPECT_EQ(t.RecordSize(), 38);
    EXPECT_EQ(t.DataStart(), 128);
    ASSERT_EQ(t.Fields().Count(), 2);
    EXPECT_EQ(t.Fields()[0].FieldName, "Code");
    EXPECT_EQ(t.Fields()[1].FieldSize, 33);
    EXPECT_EQ(t.Fields()[1].FieldOffset, 5);
    EXPECT_EQ(t.GetFieldValue("Code").IntValue(), 12);
    EXPECT_EQ(t.GetFieldValue("Name").StrValue(), "Ore");
}

TEST_F(FileFormat, FieldsBeforeAnyRecordLeaveDataStartZero) {
    CreateResourcesFile(path);
    const auto bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 32u + 48u * 2u);
    EXPECT_EQ(LE32(bytes, 8), 0);

    TCustomTable t;
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    EXPECT_EQ(t.Fields().Count(), 2);
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_TRUE(t.IsNew());
}

TEST_F(FileFormat, HeaderOnlyFileHasNoFieldsAndNoRecords) {
    WriteBytes(path, Header(0));
    TCustomTable t;
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    EXPECT_EQ(t.Fields().Count(), 0);
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_EQ(t.RecordSize(), 1);
}

TEST_F(FileFormat, SectorsShapeGivesRecordSize86From704) {
    TCustomTable t;
    ASSERT_EQ(t.CreateTableFile(path), 0);
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    for (const char* name : {"Code", "x", "y", "Race", "Right", "Down", "Left", "Up", "Shipyard", "ShipyardLight",
                             "Equipment", "Trade", "Pirate"}) {
        ASSERT_EQ(t.AddField(name, kFieldInteger, 4), 0);
    }
    ASSERT_EQ(t.AddField("Name", kFieldString, 32), 0);
    EXPECT_EQ(t.RecordSize(), 86);
    t.AppendRecord();
    t.SetFieldValue("Code", 1);
    t.Post();
    EXPECT_EQ(t.DataStart(), 704);
    t.Close();
    EXPECT_EQ(FileSize(path), 704 + 86);
}

TEST_F(FileFormat, LongFieldNameIsCutTo31Characters) {
    TCustomTable t;
    ASSERT_EQ(t.CreateTableFile(path), 0);
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    const std::string name40(40, 'N');
    ASSERT_EQ(t.AddField(name40, kFieldInteger, 4), 0);
    t.Close();
    const auto bytes = ReadBytes(path);
    EXPECT_EQ(bytes[32], 31);
    EXPECT_EQ(std::string(bytes.begin() + 33, bytes.begin() + 64), std::string(31, 'N'));
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    EXPECT_EQ(t.Fields()[0].FieldName, std::string(31, 'N'));
}

TEST_F(FileFormat, StringOfExactlyDeclaredSizeFillsItsField) {
    TCustomTable t;
    ASSERT_EQ(t.CreateTableFile(path), 0);
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    ASSERT_EQ(t.AddField("S", kFieldString, 4), 0);
    ASSERT_EQ(t.AddField("After", kFieldInteger, 4), 0);
    t.AppendRecord();
    t.SetFieldValue("S", "WXYZ");
    t.SetFieldValue("After", -1);
    t.Post();
    t.Close();
    const auto bytes = ReadBytes(path);
    const size_t rec = 32 + 48 * 2;
    ASSERT_EQ(bytes.size(), rec + 10);
    EXPECT_EQ(bytes[rec], 0);
    EXPECT_EQ(bytes[rec + 1], 4);
    EXPECT_EQ(std::string(bytes.begin() + rec + 2, bytes.begin() + rec + 6), "WXYZ");
    EXPECT_EQ(LE32(bytes, rec + 6), -1);
    EXPECT_EQ(bytes[rec + 6], 0xFF);
}

TEST_F(FileFormat, ReadingTakesAtMostTheCapacityOfAStringField) {
    CreateResourcesFile(path, {{1, "Ore"}});
    auto bytes = ReadBytes(path);
    bytes[133] = 200;  // length byte beyond the 32-character capacity
    std::fill(bytes.begin() + 134, bytes.end(), 'z');
    WriteBytes(path, bytes);
    TCustomTable t;
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    EXPECT_EQ(t.GetFieldValue("Name").StrValue(), std::string(32, 'z'));
}

TEST_F(FileFormat, RecordsReadBackAcrossOpenAndClose) {
    CreateResourcesFile(path, {{1, "Ore"}, {-5, "Energy Cells"}, {INT32_MAX, std::string(32, 'q')}, {0, ""}});
    TCustomTable t;
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    EXPECT_EQ(Describe(Snapshot(t)), "[1|Ore][-5|Energy Cells][2147483647|" + std::string(32, 'q') + "][0|]");
    t.Close();
    EXPECT_EQ(FileSize(path), 128 + 4 * 38);
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);  // the same object opens again
    EXPECT_EQ(t.RecordCount(), 4);
}

TEST_F(FileFormat, ReaderIgnoresReservedAndNotSignificantBytes) {
    CreateResourcesFile(path, {{12, "Ore"}});
    auto bytes = ReadBytes(path);
    bytes[7] = 0x55;                                         // header reserved byte
    for (size_t i = 12; i < 32; ++i) bytes[i] = 0xEE;        // header reserved tail
    for (size_t i = 37; i < 64; ++i) bytes[i] = 'x';         // after the name "Code"
    bytes[65] = bytes[66] = bytes[67] = 0x99;                // descriptor reserved
    PutLE32(bytes, 72, 0x12345678);                          // descriptor reserved word
    bytes[128] = 0x7F;                                       // record leading byte
    WriteBytes(path, bytes);

    TCustomTable t;
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    EXPECT_EQ(t.Fields()[0].FieldName, "Code");
    EXPECT_EQ(t.GetFieldValue("Code").IntValue(), 12);
    // A change to a field rewrites the record with its leading byte as found.
    t.SetFieldValue("Code", 13);
    t.Post();
    t.Close();
    const auto after = ReadBytes(path);
    EXPECT_EQ(after[128], 0x7F);
    EXPECT_EQ(LE32(after, 129), 13);
    EXPECT_EQ(after[7], 0x55);  // the header was not rewritten
}

TEST_F(FileFormat, MagicIsComparedByteForByte) {
    CreateResourcesFile(path, {{12, "Ore"}});
    const auto good = ReadBytes(path);
    for (size_t i = 0; i < 7; ++i) {
        auto bad = good;
        bad[i] = (i == 0) ? 0x07 : static_cast<uint8_t>(bad[i] ^ 0x20);  // 0x20 flips letter case
        WriteBytes(path, bad);
        TCustomTable t;
        EXPECT_EQ(t.Open(path), TOpenStatus::NotTableFile) << "magic byte " << i;
        EXPECT_FALSE(t.Opened());
    }
}

TEST_F(FileFormat, FileEndingInsideItsHeaderIsReadBeyondEnd) {
    for (size_t len : {0u, 1u, 7u, 31u}) {
        auto bytes = Header(0);
        bytes.resize(len);
        WriteBytes(path, bytes);
        TCustomTable t;
        try {
            t.Open(path);
            ADD_FAILURE() << "length " << len << " opened";
        } catch (const EInOutError& e) {
            EXPECT_STREQ(e.what(), "Read beyond end of file");
            EXPECT_EQ(e.Code(), 100);
        }
        EXPECT_FALSE(t.Opened());
    }
}

TEST_F(FileFormat, PartialDescriptorOrRecordIsReadBeyondEnd) {
    CreateResourcesFile(path, {{12, "Ore"}, {13, "Gas"}});
    const auto good = ReadBytes(path);
    for (size_t cut : {size_t{1}, size_t{37}}) {  // inside the last record
        WriteBytes(path, std::vector<uint8_t>(good.begin(), good.end() - static_cast<std::ptrdiff_t>(cut)));
        TCustomTable t;
        EXPECT_THROW(t.Open(path), EInOutError) << "cut " << cut;
        EXPECT_FALSE(t.Opened());
        EXPECT_EQ(t.RecordCount(), 0);
    }
    CreateResourcesFile(path);  // no records: the catalogue runs to the end
    auto catalogueOnly = ReadBytes(path);
    catalogueOnly.resize(catalogueOnly.size() - 10);
    WriteBytes(path, catalogueOnly);
    TCustomTable t;
    EXPECT_THROW(t.Open(path), EInOutError);
    EXPECT_EQ(t.Fields().Count(), 0);
}

TEST_F(FileFormat, AfterClearingTheCatalogueStaysFrozen) {
    CreateResourcesFile(path, {{1, "a"}, {2, "b"}, {3, "c"}});
    {
        TCustomTable t;
        ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
        t.ClearTable();
    }
    const auto bytes = ReadBytes(path);
    EXPECT_EQ(bytes.size(), 128u);
    EXPECT_EQ(LE32(bytes, 8), 128);
    TCustomTable t;
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    EXPECT_EQ(t.Fields().Count(), 2);
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_EQ(t.AddField("More", kFieldInteger, 4), TCustomTable::kStatusCatalogueFrozen);
    // A new first record goes where the old ones started.
    t.AppendRecord();
    t.SetFieldValue("Code", 9);
    t.Post();
    t.Close();
    EXPECT_EQ(FileSize(path), 128 + 38);
    EXPECT_EQ(Describe(SnapshotFile(path)), "[9|]");
}

}  // namespace
