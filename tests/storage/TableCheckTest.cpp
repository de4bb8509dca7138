// Checking and repairing damaged table files: each kind of damage is named,
// only a partial tail is ever cut (with a copy kept), and anything else is
// left byte for byte.
#include <gtest/gtest.h>

#include <functional>

#include "CustomTable.h"
#include "KelvErrors.h"
#include "StorageTestSupport.h"
#include "TableCheck.h"

using namespace kelvtest;

namespace {

struct Damage {
    const char* name;
    bool withRecords;
    std::function<void(std::vector<uint8_t>&)> apply;
    const char* problem;  // how the check's words begin
    int32_t keptRecords;  // -1: not repairable
    int32_t keptFields;
};

void PrintTo(const Damage& d, std::ostream* out) { *out << d.name; }

const Damage kDamages[] = {
    {"PartialRecord", true, [](auto& b) { b.resize(b.size() - 5); },
     "Read beyond end of file: a partial record of 33 bytes at the end (records have 38), after 2 whole records", 2, 2},
    {"PartialDescriptor", false, [](auto& b) { b.resize(b.size() + 20, 'x'); },
     "Read beyond end of file: a partial field descriptor of 20 bytes at the end", 0, 2},
    {"PartialDescriptorAfterABadOne", false,
     [](auto& b) {
         b[80 + 32] = 7;  // type code of field 1
         b.resize(b.size() + 20);
     },
     "Read beyond end of file: a partial field descriptor of 20 bytes at the end (descriptors have 48), after 2 "
     "whole descriptors; and not a table file: the field descriptor at offset 80 has the unknown field type 7",
     -1, 0},
    {"NoTableMark", true, [](auto& b) { b[3] = 'B'; }, "not a table file: it does not begin with the table file mark",
     -1, 0},
    {"CatalogueBeyondTheFile", true, [](auto& b) { PutLE32(b, 8, 32 + 48 * 9); },
     "not a table file: the catalogue does not fit: DataStart 464 lies beyond the end of the file", -1, 0},
    {"FieldOutsideTheRecord", true, [](auto& b) { PutLE32(b, 80 + 44, 30); },
     "not a table file: the field descriptor at offset 80 places its field at bytes 30 to 63, outside the record", -1,
     0},
    {"EndsInsideTheHeader", true, [](auto& b) { b.resize(20); },
     "Read beyond end of file: the file ends inside its 32-byte header (it has 20 bytes)", -1, 0},
};

class DamagedTable : public ::testing::TestWithParam<Damage> {
protected:
    TempDir dir;
    std::string path = dir.Path("Resources.dat");
    std::vector<uint8_t> damaged;

    void SetUp() override {
        CreateResourcesFile(path, GetParam().withRecords ? std::vector<std::pair<int32_t, std::string>>{{1, "a"}, {2, "b"}, {3, "c"}}
                                                         : std::vector<std::pair<int32_t, std::string>>{});
        damaged = ReadBytes(path);
        GetParam().apply(damaged);
        WriteBytes(path, damaged);
    }
};

TEST_P(DamagedTable, IsNamedByCheckAndRepairedOnlyWhenItsTailIsPartial) {
    const Damage& d = GetParam();
    const TTableCheck check = CheckTableFile(DefaultTableFileSystem(), path);
    EXPECT_FALSE(check.Sound);
    EXPECT_EQ(check.Problem.rfind(d.problem, 0), 0u) << check.Problem;
    EXPECT_EQ(check.Repairable, d.keptRecords >= 0);

    if (d.keptRecords < 0) {
        try {
            RepairTableFile(DefaultTableFileSystem(), path);
            ADD_FAILURE() << "repaired";
        } catch (const EKelvError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(d.problem, 0), 0u) << e.what();
            EXPECT_EQ(e.File(), path);
        }
        EXPECT_FALSE(CutPartialTail(DefaultTableFileSystem(), path));
        EXPECT_EQ(ReadBytes(path), damaged);
        EXPECT_EQ(FileSize(path + ".bak"), -1);
        return;
    }
    EXPECT_EQ(check.RecordCount, d.keptRecords);
    EXPECT_EQ(RepairTableFile(DefaultTableFileSystem(), path), d.keptRecords);
    EXPECT_EQ(ReadBytes(path + ".bak"), damaged);
    const auto repaired = ReadBytes(path);
    EXPECT_EQ(repaired, std::vector<uint8_t>(damaged.begin(), damaged.begin() + int64_t(repaired.size())));
    EXPECT_EQ(int64_t(damaged.size() - repaired.size()), check.PartialTail);
    TCustomTable t;
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
    EXPECT_EQ(t.RecordCount(), d.keptRecords);
    EXPECT_EQ(t.Fields().Count(), d.keptFields);
    // Repaired once, sound since: a second repair changes nothing.
    t.Close();
    EXPECT_EQ(RepairTableFile(DefaultTableFileSystem(), path), d.keptRecords);
    EXPECT_TRUE(CheckTableFile(DefaultTableFileSystem(), path).Sound);
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedTable, ::testing::ValuesIn(kDamages),
                         [](const auto& info) { return std::string(info.param.name); });

class Repair : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.Path("Resources.dat");

    std::vector<uint8_t> MakeWithPartialRecord() {
        CreateResourcesFile(path, {{1, "a"}});
        auto bytes = ReadBytes(path);
        bytes.resize(bytes.size() - 1);
        WriteBytes(path, bytes);
        return bytes;
    }
};

TEST_F(Repair, ASoundFileIsCheckedOkAndLeftAlone) {
    CreateResourcesFile(path, {{1, "a"}, {2, "b"}});
    const TTableCheck check = CheckTableFile(DefaultTableFileSystem(), path);
    EXPECT_TRUE(check.Sound);
    EXPECT_EQ(check.Problem, "");
    EXPECT_EQ(check.Fields.Count(), 2);
    EXPECT_EQ(check.RecordCount, 2);
    EXPECT_EQ(RepairTableFile(DefaultTableFileSystem(), path), 2);
    EXPECT_FALSE(CutPartialTail(DefaultTableFileSystem(), path));
    EXPECT_EQ(FileSize(path + ".bak"), -1);
    EXPECT_EQ(CheckTableFile(DefaultTableFileSystem(), dir.Path("missing.dat")).Problem, "File not found");
}

TEST_F(Repair, NeverReplacesACopyNorCutsATableInUseNorKeepsAFailedCopy) {
    const auto damaged = MakeWithPartialRecord();
    WriteText(path + ".bak", "older copy");
    EXPECT_THROW(RepairTableFile(DefaultTableFileSystem(), path), EInOutError);
    EXPECT_EQ(ReadText(path + ".bak"), "older copy");
    std::filesystem::remove(path + ".bak");

    FaultyFileSystem fs;
    fs.FailWrite(1);  // the copy's
    EXPECT_THROW(RepairTableFile(fs, path), EInOutError);
    EXPECT_EQ(FileSize(path + ".bak"), -1);

    fs.Heal();
    fs.FailLock(1);  // as when another process holds the table
    EXPECT_EQ(MessageOf<EInOutError>([&] { RepairTableFile(fs, path); }),
              "the table file is in use by another KelvMap process");
    fs.FailLock(1);
    EXPECT_THROW(CutPartialTail(fs, path), EInOutError);
    EXPECT_EQ(ReadBytes(path), damaged);
}

TEST_F(Repair, TheImportsCutKeepsNoCopy) {
    MakeWithPartialRecord();
    EXPECT_TRUE(CutPartialTail(DefaultTableFileSystem(), path));
    EXPECT_EQ(FileSize(path), 128);
    EXPECT_EQ(FileSize(path + ".bak"), -1);
    EXPECT_FALSE(CutPartialTail(DefaultTableFileSystem(), path));
    EXPECT_FALSE(CutPartialTail(DefaultTableFileSystem(), dir.Path("missing.dat")));
}

}  // namespace
