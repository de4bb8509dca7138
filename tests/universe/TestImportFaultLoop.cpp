// The import with its Nth write, short write, truncation, read or flush
// failing, or the disk full from the Nth write on, for every N it reaches: the table file afterwards holds either its
// records from before, or whole records of the export's first lines (never a
// partial record), and the table holds exactly what the file holds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FaultyFileSystem.h"
#include "KelvErrors.h"
#include "UniverseTestSupport.h"
#include "uSectors.h"

namespace {

// Enough lines for several gathered writes (a gathered write holds 256 KiB).
constexpr int32_t kLines = 70'000;

std::vector<int32_t> FabsOf(const std::string& table) {
    TSectorsFabs t;
    EXPECT_EQ(t.Open(table, TOpenMode::ReadOnly), TOpenStatus::Opened);
    return Column(t, "Fab");
}

TEST(ImportFaultLoop, LeavesTheOldRecordsOrWholeLinesAndMemoryEqualToTheFile) {
    TempDir dir;
    const std::string table = dir.File("SectorsFabs.dat");
    std::string text;
    for (int32_t i = 0; i < kLines; ++i) text += "x\t" + std::to_string(i % 300) + "\t" + std::to_string(i) + "\r\n";
    const std::string export_ = dir.Write("sector fabs.txt", text);
    const std::vector<int32_t> oldFabs = {-1, -2, -3};

    kelvtest::FaultyFileSystem fs;
    struct Fault {
        const char* name;
        void (*arm)(kelvtest::FaultyFileSystem&, int);
        int (*calls)(const kelvtest::FaultyFileSystem&);
    };
    const Fault faults[] = {
        {"write", [](auto& f, int n) { f.FailWrite(n); }, [](const auto& f) { return f.Writes(); }},
        {"short write", [](auto& f, int n) { f.FailWrite(n); f.ShortWrites(n == 0 ? 0 : 1000); },
         [](const auto& f) { return f.Writes(); }},
        {"full disk", [](auto& f, int n) { f.FailWrite(n, n != 0); f.ShortWrites(n == 0 ? 0 : 1000); },
         [](const auto& f) { return f.Writes(); }},
        {"truncation", [](auto& f, int n) { f.FailTruncate(n); }, [](const auto& f) { return f.Truncates(); }},
        {"read", [](auto& f, int n) { f.FailReadAt(n); }, [](const auto& f) { return f.Reads(); }},
        {"sync", [](auto& f, int n) { f.FailSync(n); }, [](const auto& f) { return f.Syncs(); }},
    };
    for (const Fault& fault : faults) {
        int calls = -1;
        for (int n = 0; n <= calls + 1; ++n) {
            SCOPED_TRACE(std::string(fault.name) + " " + std::to_string(n));
            {
                TSectorsFabs fresh;
                fresh.CreateDB(table);
                for (int32_t fab : oldFabs) {
                    fresh.AppendRecord();
                    fresh.SetFieldValue("Fab", fab);
                    fresh.Post();
                }
            }
            TSectorsFabs t(fs);
            ASSERT_EQ(t.Open(table), TOpenStatus::Opened);
            fs.Heal();
            fault.arm(fs, n);
            bool failed = false;
            try {
                t.LoadFromText(export_);
            } catch (const EKelvError&) {
                failed = true;
            }
            if (n == 0) {
                ASSERT_FALSE(failed);
                calls = fault.calls(fs);
            }
            fs.Heal();
            const std::vector<int32_t> stored = FabsOf(table);
            EXPECT_EQ(Column(t, "Fab"), stored);
            if (stored != oldFabs) {
                for (size_t i = 0; i < stored.size(); ++i) ASSERT_EQ(stored[i], static_cast<int32_t>(i));
            }
            if (!failed) {
                EXPECT_EQ(stored.size(), static_cast<size_t>(kLines));
            }
        }
        EXPECT_GT(calls, 0) << fault.name;
    }
}

}  // namespace
