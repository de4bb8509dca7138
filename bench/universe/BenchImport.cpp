// Import of a large "sector fabs.txt": into a fresh table, over a full table,
// with the disk left out (to separate the engine's write-through from the
// parsing), and the parsing alone.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "Needs.h"
#include "Files.h"
#include "MemoryFileSystem.h"
#include "TableFileSeam.h"
#include "ExportReader.h"
#include "uSectors.h"

namespace {

constexpr int kLines = 1000000;

const std::string& WorkDir() {
    static const std::string dir = [] {
        const char* env = std::getenv("KELV_BENCH_DIR");
        std::string d = env != nullptr ? env : (std::filesystem::temp_directory_path() / "kelv-import-bench").string();
        std::filesystem::create_directories(d);
        return d + "/";
    }();
    return dir;
}

const std::string& ExportPath() {
    static const std::string path = [] {
        const std::string p = WorkDir() + "sector fabs.txt";
        std::mt19937 rng(1);
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        std::string block;
        for (int i = 1; i <= kLines; ++i) {
            block += std::to_string(i) + '\t' + std::to_string(1 + rng() % 300) + '\t' +
                     std::to_string(1 + rng() % 2000) + "\r\n";
            if (block.size() > (1 << 20)) {
                out << block;
                block.clear();
            }
        }
        out << block;
        return p;
    }();
    return path;
}

void SetCounters(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * kLines);
    state.counters["lines"] = kLines;
}

void BM_ImportFresh(benchmark::State& state) {
    const std::string& text = ExportPath();
    const std::string table = WorkDir() + "SectorsFabs.dat";
    for (auto _ : state) {
        TSectorsFabs t;
        t.CreateDB(table);
        t.LoadFromText(text);
        if (t.RecordCount() != kLines) state.SkipWithError("wrong record count");
    }
    SetCounters(state);
}

void BM_ImportOverFull(benchmark::State& state) {
    const std::string& text = ExportPath();
    const std::string table = WorkDir() + "SectorsFabs.dat";
    TSectorsFabs t;
    t.CreateDB(table);
    t.LoadFromText(text);
    for (auto _ : state) {
        t.LoadFromText(text);
        if (t.RecordCount() != kLines) state.SkipWithError("wrong record count");
    }
    SetCounters(state);
}

// The export and the table in memory: the engine's and the parser's own cost
// without the disk.
void BM_ImportWithoutDisk(benchmark::State& state) {
    kelvtest::MemoryFileSystem fs;
    fs.Put("sector fabs.txt", kelvtest::ReadBytes(ExportPath()));
    for (auto _ : state) {
        TSectorsFabs t(fs);
        t.CreateDB("SectorsFabs.dat");
        t.LoadFromText("sector fabs.txt");
        if (t.RecordCount() != kLines) state.SkipWithError("wrong record count");
    }
    SetCounters(state);
}

// The export reader and the integer rule alone, without a table.
void BM_ParseOnly(benchmark::State& state) {
    const std::string& text = ExportPath();
    for (auto _ : state) {
        TExportReader reader(DefaultTableFileSystem(), text);
        int64_t sum = 0;
        while (reader.NextLine()) {
            for (int32_t column : {2, 3}) {
                TIntegerScanner scanner;
                uint64_t length = 0;
                reader.Column(column, 0, length, &scanner);
                int32_t value = 0;
                if (scanner.Finish(value)) sum += value;
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    SetCounters(state);
}

}  // namespace

BENCHMARK(BM_ImportFresh)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ImportOverFull)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ImportWithoutDisk)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ParseOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

BENCHMARK_MAIN();
