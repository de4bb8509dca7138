// Every changing operation with its Nth write, short write, truncation, read,
// flush or close failing, for every N the operation reaches: afterwards the
// file is its state before or after the operation, never a third one, and a
// table still open holds exactly what a fresh table reads from the file.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "CustomTable.h"
#include "KelvErrors.h"
#include "StorageTestSupport.h"

using namespace kelvtest;

namespace {

using Records = std::vector<std::pair<int32_t, std::string>>;
using Image = std::optional<std::vector<uint8_t>>;  // nullopt: no file

enum class Fault { Write, ShortWrite, Truncate, Read, Sync, Close };
const char* const kFaultNames[] = {"write", "short write", "truncation", "read", "sync", "close"};

struct Operation {
    const char* name;
    std::optional<Records> table;  // the file before; nullopt: there is none
    bool open;                     // the operation runs on the table opened on it
    std::function<void(TCustomTable&, const std::string&)> run;
    bool headerStep = false;       // the first record's header may stay written alone
};

void PrintTo(const Operation& op, std::ostream* out) { *out << op.name; }

void Append(TCustomTable& t, int32_t code, const std::string& name) {
    t.AppendRecord();
    t.SetFieldValue("Code", code);
    t.SetFieldValue("Name", name);
    t.Post();
}

const Records kPQS = {{1, "P"}, {2, "Q"}, {3, "S"}};

const Operation kOperations[] = {
    {"PostOfANewRecord", kPQS, true, [](TCustomTable& t, auto&) { Append(t, 4, "T"); }},
    {"PostOfAStoredRecord", kPQS, true,
     [](TCustomTable& t, auto&) {
         t.GoToRecord(1);
         t.SetFieldValue("Name", "Q2");
         t.Post();
     }},
    {"FirstPostWithItsHeader", Records{}, true, [](TCustomTable& t, auto&) { Append(t, 1, "P"); }, true},
    {"AddField", Records{}, true, [](TCustomTable& t, auto&) { t.AddField("More", kFieldString, 20); }},
    {"DeleteOfAMiddleRecord", kPQS, true, [](TCustomTable& t, auto&) { t.DeleteRecord(0); }},
    {"DeleteOfTheLastRecord", kPQS, true, [](TCustomTable& t, auto&) { t.DeleteRecord(2); }},
    {"ClearTable", kPQS, true, [](TCustomTable& t, auto&) { t.ClearTable(); }},
    {"GatheredAppends", kPQS, true,
     [](TCustomTable& t, auto&) {
         t.BeginBulkAppend();
         for (int32_t i = 0; i < 3; ++i) Append(t, 10 + i, "g");
         t.EndBulkAppend();
     }},
    {"ChangeThenClose", kPQS, true,
     [](TCustomTable& t, auto&) {
         t.SetFieldValue("Code", 9);
         t.Close();
     }},
    {"CreateTableFileOverATable", kPQS, false, [](TCustomTable& t, auto& p) { t.CreateTableFile(p); }},
    {"CreateTableFileAnew", std::nullopt, false, [](TCustomTable& t, auto& p) { t.CreateTableFile(p); }},
};

class FaultLoop : public ::testing::TestWithParam<Operation> {
protected:
    TempDir dir;
    std::string path = dir.Path("Resources.dat");
    FaultyFileSystem fs;

    Image Prepare() {
        std::filesystem::remove(path);
        if (GetParam().table) CreateResourcesFile(path, *GetParam().table);
        return Current();
    }
    Image Current() const {
        if (FileSize(path) < 0) return std::nullopt;
        return ReadBytes(path);
    }
    // Opens the table (when the operation wants it), arms the fault, runs the
    // operation and closes the table; true when any of it raised.
    bool Run(Fault fault, int n) {
        fs.Heal();
        TCustomTable t(fs);
        if (GetParam().open) {
            EXPECT_EQ(t.Open(path), TOpenStatus::Opened);
        }
        Arm(fault, n);
        try {
            GetParam().run(t, path);
            ExpectMemoryIsTheFile(t);
            t.Close();
        } catch (const EKelvError& e) {
            EXPECT_EQ(e.File(), path) << e.what();
            ExpectMemoryIsTheFile(t);
            t.DiscardPending();
            return true;
        }
        return false;
    }
    void ExpectMemoryIsTheFile(TCustomTable& t) {
        if (!t.Opened()) return;
        t.DiscardPending();  // a failed Post leaves its record pending; the stored ones count
        TCustomTable fresh;
        ASSERT_EQ(fresh.Open(path, TOpenMode::ReadOnly), TOpenStatus::Opened);
        EXPECT_EQ(t.DataStart(), fresh.DataStart());
        EXPECT_EQ(t.Fields().Count(), fresh.Fields().Count());
        EXPECT_EQ(Describe(Snapshot(t)), Describe(Snapshot(fresh)));
    }
    void Arm(Fault f, int n) {
        // Arming with 0 only resets the counts.
        fs.FailWrite(f == Fault::Write || f == Fault::ShortWrite ? n : 0);
        fs.ShortWrites(f == Fault::ShortWrite ? 9 : 0);  // past a header's magic, a record's first field
        fs.FailTruncate(f == Fault::Truncate ? n : 0);
        fs.FailReadAt(f == Fault::Read ? n : 0);
        fs.FailSync(f == Fault::Sync ? n : 0);
        fs.FailClose(f == Fault::Close ? n : 0);
    }
    int Calls(Fault f) const {
        switch (f) {
            case Fault::Write: case Fault::ShortWrite: return fs.Writes();
            case Fault::Truncate: return fs.Truncates();
            case Fault::Read: return fs.Reads();
            case Fault::Sync: return fs.Syncs();
            case Fault::Close: return fs.Closes();
        }
        return 0;
    }
};

TEST_P(FaultLoop, LeavesTheFileBeforeOrAfterAndMemoryEqualToIt) {
    const Operation& op = GetParam();
    const Image before = Prepare();
    ASSERT_FALSE(Run(Fault::Write, 0)) << "the operation fails without a fault";
    const Image after = Current();
    Image headerOnly = before;
    if (op.headerStep) PutLE32(*headerOnly, 8, 128);

    for (int k = 0; k < 6; ++k) {
        const auto fault = static_cast<Fault>(k);
        Prepare();
        ASSERT_FALSE(Run(fault, 0));
        const int calls = Calls(fault);
        for (int n = 1; n <= calls + 1; ++n) {
            SCOPED_TRACE(std::string(kFaultNames[k]) + " " + std::to_string(n) + " of " + std::to_string(calls));
            Prepare();
            const bool failed = Run(fault, n);
            fs.Heal();
            const Image now = Current();
            EXPECT_TRUE(now == before || now == after || (op.headerStep && now == headerOnly))
                << "a third state, " << (now ? std::to_string(now->size()) + " bytes" : "no file");
            if (n > calls) {
                EXPECT_FALSE(failed) << "only the injected faults fail";
            }
            EXPECT_EQ(fs.LiveFiles(), 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Operations, FaultLoop, ::testing::ValuesIn(kOperations),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
