// Files whose catalogue would make the engine read or write outside a record
// are refused as "not a table file" (status 3), holding nothing afterwards.
#include <gtest/gtest.h>

#include <functional>

#include "CustomTable.h"
#include "KelvErrors.h"
#include "StorageTestSupport.h"

using namespace kelvtest;

namespace {

// Descriptor field offsets inside the file for the resources table:
// descriptor i starts at 32 + 48 * i.
constexpr size_t Desc(size_t i) { return 32 + 48 * i; }
constexpr size_t kType = 32, kSize = 36, kOffset = 44;

struct Damage {
    const char* what;
    bool withRecords;
    std::function<void(std::vector<uint8_t>&)> apply;
};

class DamagedFile : public ::testing::TestWithParam<Damage> {
protected:
    TempDir dir;
    std::string path = dir.Path("Damaged.dat");
};

TEST_P(DamagedFile, IsRefusedAsNotATableFileAndNothingIsHeld) {
    const Damage& d = GetParam();
    if (d.withRecords) {
        CreateResourcesFile(path, {{12, "Ore"}, {13, "Gas"}});
    } else {
        CreateResourcesFile(path);
    }
    auto bytes = ReadBytes(path);
    d.apply(bytes);
    WriteBytes(path, bytes);

    FaultyFileSystem fs;  // the real files, with a count of the ones held open
    const int fdsBefore = OpenDescriptorCount();
    TCustomTable t(fs);
    EXPECT_EQ(t.Open(path), TOpenStatus::NotTableFile);
    EXPECT_FALSE(t.Opened());
    EXPECT_EQ(fs.LiveFiles(), 0);
    EXPECT_EQ(OpenDescriptorCount(), fdsBefore);
    EXPECT_EQ(t.Fields().Count(), 0);
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_THROW(t.SetFieldValue("Code", 1), EListError);
    EXPECT_EQ(fs.Writes(), 0);
    EXPECT_EQ(ReadBytes(path), bytes);  // untouched

    // The same object still opens a good file afterwards.
    const std::string good = dir.Path("Good.dat");
    CreateResourcesFile(good, {{1, "a"}});
    EXPECT_EQ(t.Open(good), TOpenStatus::Opened);
    EXPECT_EQ(t.RecordCount(), 1);
}

const Damage kDamages[] = {
    {"UnknownTypeCode", false, [](auto& b) { b[Desc(1) + kType] = 2; }},
    {"UnknownTypeCodeWithRecords", true, [](auto& b) { b[Desc(0) + kType] = 0xFF; }},
    {"FieldSizeZero", false, [](auto& b) { PutLE32(b, Desc(1) + kSize, 0); }},
    {"FieldSizeNegative", true, [](auto& b) { PutLE32(b, Desc(1) + kSize, -33); }},
    {"IntegerSmallerThanFourBytes", false, [](auto& b) { PutLE32(b, Desc(0) + kSize, 2); }},
    {"IntegerOfOtherSize", false, [](auto& b) { PutLE32(b, Desc(0) + kSize, 8); }},
    {"StringAboveTheLengthByte", false, [](auto& b) { PutLE32(b, Desc(1) + kSize, 257); }},
    {"FieldStartsBeforeTheRecord", true, [](auto& b) { PutLE32(b, Desc(0) + kOffset, -1); }},
    {"FieldStartsFarBeforeTheRecord", true, [](auto& b) { PutLE32(b, Desc(0) + kOffset, INT32_MIN); }},
    {"FieldEndsAfterTheRecord", true, [](auto& b) { PutLE32(b, Desc(1) + kOffset, 6); }},
    {"FieldStartsAfterTheRecord", false, [](auto& b) { PutLE32(b, Desc(0) + kOffset, 1000); }},
    {"OffsetPlusSizeWouldOverflow32Bits", false, [](auto& b) { PutLE32(b, Desc(1) + kOffset, INT32_MAX - 2); }},
    {"RecordSizeOverflows", false,
     [](auto& b) {
         b[Desc(0) + kType] = 1;
         PutLE32(b, Desc(0) + kSize, INT32_MAX);
         PutLE32(b, Desc(1) + kSize, INT32_MAX);
     }},
    {"DataStartNotOnADescriptorBoundary", true, [](auto& b) { PutLE32(b, 8, 100); }},
    {"DataStartInsideTheHeader", true, [](auto& b) { PutLE32(b, 8, 16); }},
    {"DataStartNegative", true, [](auto& b) { PutLE32(b, 8, -128); }},
    {"DataStartBeyondTheFile", true, [](auto& b) { PutLE32(b, 8, 32 + 48 * 100); }},
    {"DataStartBeyondTheCatalogueOfAnEmptyTable", false, [](auto& b) { PutLE32(b, 8, 32 + 48 * 3); }},
    {"DataStartAtTheHeaderWithACatalogue", false, [](auto& b) { PutLE32(b, 8, 32); }},
};

INSTANTIATE_TEST_SUITE_P(Catalogue, DamagedFile, ::testing::ValuesIn(kDamages),
                         [](const auto& info) { return std::string(info.param.what); });

class OddButSoundFile : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.Path("Odd.dat");
};

TEST_F(OddButSoundFile, NameLengthByteAbove31ReadsThe31NameBytes) {
    CreateResourcesFile(path, {{12, "Ore"}});
    auto bytes = ReadBytes(path);
    bytes[Desc(0)] = 200;
    WriteBytes(path, bytes);
    TCustomTable t;
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    EXPECT_EQ(t.Fields()[0].FieldName, std::string("Code") + std::string(27, '\0'));
    EXPECT_EQ(t.GetFieldValue(0).IntValue(), 12);
}

TEST_F(OddButSoundFile, FieldsMayOverlapOrLeaveGapsInsideTheRecord) {
    CreateResourcesFile(path, {{0x00414141, "Ore"}});
    auto bytes = ReadBytes(path);
    PutLE32(bytes, Desc(1) + kOffset, 0);  // "Name" now starts at the leading byte
    WriteBytes(path, bytes);
    TCustomTable t;
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    EXPECT_EQ(t.GetFieldValue("Name").StrValue(), "");  // leading byte 0 is its length
    t.SetFieldValue("Name", std::string(40, 'x'));     // stays inside the 38-byte record
    t.Post();
    EXPECT_EQ(t.GetFieldValue("Name").StrValue(), std::string(32, 'x'));
}

TEST_F(OddButSoundFile, ZeroFieldsWithDataStartAtTheHeaderEnd) {
    std::vector<uint8_t> bytes = {0x06, 0x2E, 0x61, 0x62, 0x79, 0x7A, 0x2E, 0};
    bytes.resize(32, 0);
    PutLE32(bytes, 8, 32);
    WriteBytes(path, bytes);
    TCustomTable t;
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    EXPECT_EQ(t.Fields().Count(), 0);
    EXPECT_EQ(t.RecordCount(), 0);
}

TEST_F(OddButSoundFile, DataStartCutsTheCatalogueWhereItSays) {
    // DataStart 80 on the two-field file: the reader takes one field and reads
    // the rest as records of 5 bytes, which does not divide: a partial record.
    CreateResourcesFile(path, {{12, "Ore"}});
    auto bytes = ReadBytes(path);
    PutLE32(bytes, 8, 80);
    WriteBytes(path, bytes);
    TCustomTable t;
    EXPECT_THROW(t.Open(path), EInOutError);
    EXPECT_FALSE(t.Opened());
    EXPECT_EQ(t.Fields().Count(), 0);
}

}  // namespace
