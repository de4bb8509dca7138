// PaintMap of the sample universe in each mode, and the JPEG writer beside
// libjpeg's own cjpeg (-dct float -quality 90) on the same picture.
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include "ImageWriters.h"
#include "uGSector.h"
#include "uMapLayout.h"
#include "uQuery.h"
#include "uSectors.h"

namespace {

// The sample universe imported once into a temporary folder.
struct Sample {
    Sample() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kelv-bench-render-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        dir = pattern + "/";
        const std::string sample = std::string(KELV_SAMPLE_DIR) + "/";
        Load(sectors, sample);
        Load(resources, sample);
        Load(fabs, sample);
        Load(sectorsFabs, sample);
        Load(fabsResources, sample);
        // Product and resource names with counts in many cells.
        resources.GoToRecord(0);
        selected = resources.GetFieldValue("Name").AsString();
    }
    ~Sample() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    template <class T>
    void Load(T& table, const std::string& sample) {
        table.CreateDB(dir + T::kTableFile);
        table.LoadFromText(sample + T::kTextFile);
    }

    std::string dir;
    std::string selected;
    TSectors sectors;
    TResources resources;
    TFabs fabs;
    TSectorsFabs sectorsFabs;
    TFabsResources fabsResources;
    TQuery query;
    TGSector renderer{TUniverse{sectors, resources, fabs, sectorsFabs, fabsResources}, query};
};

Sample& TheSample() {
    static Sample sample;
    return sample;
}

void BM_PaintMap(benchmark::State& state) {
    Sample& s = TheSample();
    s.renderer.Mode = static_cast<int32_t>(state.range(0));
    s.renderer.SelectedName = s.selected;
    for (auto _ : state) PaintMap(s.renderer);
    state.counters["MapHeight"] = s.renderer.MapHeight;
}
BENCHMARK(BM_PaintMap)->Arg(kModeFull)->Arg(kModeProduct)->Arg(kModeResource)->Unit(benchmark::kMillisecond);

QImage FullPicture() {
    Sample& s = TheSample();
    s.renderer.Mode = kModeFull;
    PaintMap(s.renderer);
    return SavedPicture(s.renderer);
}

void BM_SaveJpeg(benchmark::State& state) {
    const QImage picture = FullPicture();
    const std::string out = TheSample().dir + "ours.jpg";
    for (auto _ : state) SaveJpeg(picture, out);
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(out));
}
BENCHMARK(BM_SaveJpeg)->Unit(benchmark::kMillisecond);

// cjpeg reading the same picture as a 24-bit BMP and writing its JPEG,
// process start included, as a user would run it.
void BM_Cjpeg(benchmark::State& state) {
    const std::string dir = TheSample().dir;
    SaveBmp(FullPicture(), dir + "map.bmp");
    const std::string command =
        "cjpeg -dct float -quality 90 -outfile '" + dir + "cjpeg.jpg' '" + dir + "map.bmp'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("cjpeg failed (libjpeg-turbo-progs installed?)");
            break;
        }
    }
    if (std::filesystem::exists(dir + "cjpeg.jpg"))
        state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(dir + "cjpeg.jpg"));
}
BENCHMARK(BM_Cjpeg)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
