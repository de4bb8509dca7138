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
#include "TableFileSeam.h"
#include "TextLineReader.h"
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

// A file system that keeps nothing: the engine's own cost without the disk.
class NullFileSystem : public ITableFileSystem {
    class NullFile : public ITableFile {
    public:
        std::vector<uint8_t> ReadAll() override { return bytes_; }
        void WriteAt(int64_t offset, const void* data, size_t size) override {
            // Keep the header and catalogue so that Open works; drop records.
            if (offset < 4096) {
                const size_t end = static_cast<size_t>(offset) + size;
                if (bytes_.size() < end) bytes_.resize(end);
                std::memcpy(bytes_.data() + offset, data, size);
            }
        }
        void Truncate(int64_t length) override {
            if (static_cast<size_t>(length) < bytes_.size()) bytes_.resize(static_cast<size_t>(length));
        }

    private:
        std::vector<uint8_t> bytes_;
    };

public:
    int OpenExisting(const std::string&, std::unique_ptr<ITableFile>& out) override {
        if (!file_) return 2;
        out = std::make_unique<Handle>(*file_);
        return 0;
    }
    std::unique_ptr<ITableFile> CreateOrTruncate(const std::string&) override {
        file_ = std::make_unique<NullFile>();
        return std::make_unique<Handle>(*file_);
    }

private:
    class Handle : public ITableFile {
    public:
        explicit Handle(ITableFile& f) : f_(f) {}
        std::vector<uint8_t> ReadAll() override { return f_.ReadAll(); }
        void WriteAt(int64_t o, const void* d, size_t s) override { f_.WriteAt(o, d, s); }
        void Truncate(int64_t l) override { f_.Truncate(l); }

    private:
        ITableFile& f_;
    };
    std::unique_ptr<NullFile> file_;
};

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

void BM_ImportWithoutDisk(benchmark::State& state) {
    const std::string& text = ExportPath();
    NullFileSystem fs;
    for (auto _ : state) {
        TSectorsFabs t(fs);
        t.CreateDB("null");
        t.LoadFromText(text);
        if (t.RecordCount() != kLines) state.SkipWithError("wrong record count");
    }
    SetCounters(state);
}

void BM_ParseOnly(benchmark::State& state) {
    const std::string& text = ExportPath();
    for (auto _ : state) {
        TextLineReader reader(text);
        std::string_view line;
        int64_t sum = 0;
        while (reader.NextLine(line)) {
            sum += ParseInteger(TokenView(line, 2, '\t')) + ParseInteger(TokenView(line, 3, '\t'));
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
