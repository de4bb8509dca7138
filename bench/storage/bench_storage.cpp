// Figures for the table engine on a links-shaped table ("Sector", "Fab", both
// integers: 9-byte records from offset 128):
//   BM_Open             Open (read + check + copy) of 1,000,000 records
//   BM_LocateNoMatch    Locate over 1,000,000 records finding nothing   (target >= 1e8 records/s)
//   BM_LocateFindNext   Locate + FindNext visiting every 1000th record of 1,000,000
//   BM_AppendPost       100,000 x AppendRecord, SetFieldValue x2, Post   (target <= 0.3 s)
//   BM_ClearTable       ClearTable of 1,000,000 records                  (target <= 0.05 s)
// Files live in a fresh directory under $TMPDIR (default /tmp).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "CustomTable.h"
#include "TempDir.h"

namespace {

constexpr int32_t kBig = 1'000'000;
constexpr int32_t kAppends = 100'000;

kelvtest::TempDir& Work() {
    static kelvtest::TempDir w;
    return w;
}

void MakeLinksFile(const std::string& path) {
    TCustomTable t;
    if (t.CreateTableFile(path) != 0 || t.Open(path) != TOpenStatus::Opened) throw std::runtime_error("cannot create " + path);
    t.AddField("Sector", kFieldInteger, 4);
    t.AddField("Fab", kFieldInteger, 4);
    t.Close();
}

// The bytes of a links table with kBig records, built once through the engine
// (header and catalogue) and completed directly (the records).
const std::vector<uint8_t>& BigFileBytes() {
    static const std::vector<uint8_t> bytes = [] {
        const std::string path = Work().Path("seed.dat");
        MakeLinksFile(path);
        std::ifstream in(path, std::ios::binary);
        std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        b[8] = 128;  // DataStart = 32 + 48 * 2 (bytes 9 to 11 stay 0)
        for (int32_t i = 0; i < kBig; ++i) {
            const int32_t sector = i % 300, fab = i;
            b.push_back(0);
            for (int32_t v : {sector, fab}) {
                for (int k = 0; k < 4; ++k) b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * k)));
            }
        }
        return b;
    }();
    return bytes;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

const std::string& BigFile() {
    static const std::string path = [] {
        const std::string p = Work().Path("big.dat");
        WriteFile(p, BigFileBytes());
        return p;
    }();
    return path;
}

void BM_Open(benchmark::State& state) {
    const std::string& path = BigFile();
    for (auto _ : state) {
        TCustomTable t;
        if (t.Open(path) != TOpenStatus::Opened || t.RecordCount() != kBig) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(t.RecordCount());
    }
    state.SetItemsProcessed(state.iterations() * kBig);
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);

void BM_LocateNoMatch(benchmark::State& state) {
    TCustomTable t;
    if (t.Open(BigFile()) != TOpenStatus::Opened) state.SkipWithError("open failed");
    for (auto _ : state) {
        const int32_t n = t.Locate("Sector", -1);
        if (n != -1) state.SkipWithError("unexpected match");
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(state.iterations() * kBig);
}
BENCHMARK(BM_LocateNoMatch)->Unit(benchmark::kMillisecond);

void BM_LocateFindNext(benchmark::State& state) {
    TCustomTable t;
    if (t.Open(BigFile()) != TOpenStatus::Opened) state.SkipWithError("open failed");
    for (auto _ : state) {
        int32_t found = 0;
        for (int32_t n = t.Locate("Fab", 0); n != -1; n = t.FindNext()) ++found;  // one match
        for (int32_t n = t.Locate("Sector", 7); n != -1; n = t.FindNext()) ++found;  // every 300th record
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * 2 * int64_t{kBig});
}
BENCHMARK(BM_LocateFindNext)->Unit(benchmark::kMillisecond);

void BM_AppendPost(benchmark::State& state) {
    const std::string path = Work().Path("append.dat");
    for (auto _ : state) {
        state.PauseTiming();
        MakeLinksFile(path);
        {
            TCustomTable t;
            if (t.Open(path) != TOpenStatus::Opened) state.SkipWithError("open failed");
            state.ResumeTiming();
            for (int32_t i = 0; i < kAppends; ++i) {
                t.AppendRecord();
                t.SetFieldValue("Sector", i % 300);
                t.SetFieldValue("Fab", i);
                t.Post();
            }
            state.PauseTiming();
            if (t.RecordCount() != kAppends) state.SkipWithError("wrong count");
        }
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kAppends);
}
BENCHMARK(BM_AppendPost)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ClearTable(benchmark::State& state) {
    const std::string path = Work().Path("clear.dat");
    for (auto _ : state) {
        state.PauseTiming();
        WriteFile(path, BigFileBytes());
        {
            TCustomTable t;
            if (t.Open(path) != TOpenStatus::Opened) state.SkipWithError("open failed");
            state.ResumeTiming();
            t.ClearTable();
            state.PauseTiming();
            if (t.RecordCount() != 0) state.SkipWithError("not cleared");
        }
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kBig);
}
BENCHMARK(BM_ClearTable)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
