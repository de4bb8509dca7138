// PaintMap of the sample universe in each mode, the JPEG writer beside
// libjpeg's own cjpeg (-dct float -quality 90) on the same picture, and the
// PDF (0) and SVG (1) pages.
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
#include "TempDir.h"
#include "Universe.h"

namespace {

// The sample universe imported once into a temporary folder.
struct Sample {
    Sample() {
        const std::string sample = std::string(KELV_SAMPLE_DIR) + "/";
        for (size_t i = 0; i < TUniverse::kTableCount; ++i) {
            const TTableSchema& schema = TUniverse::Schema(i);
            CreateFromSchema(universe.Table(i), schema, dir.File(schema.TableFile));
            ImportFromSchema(universe.Table(i), schema, sample + schema.ExportFile);
        }
        // Product and resource names with counts in many cells.
        universe.Resources.GoToRecord(0);
        selected = universe.Resources.GetFieldValue("Name").AsString();
    }

    kelvtest::TempDir dir;
    std::string selected;
    TUniverse universe;
    TQuery query;
    TGSector renderer{universe, query};
};

Sample& TheSample() {
    static Sample sample;
    return sample;
}

void BM_PaintMap(benchmark::State& state) {
    Sample& s = TheSample();
    s.renderer.Mode = static_cast<TMapMode>(state.range(0));
    s.renderer.SelectedName = s.selected;
    for (auto _ : state) PaintMap(s.renderer);
    state.counters["MapHeight"] = s.renderer.MapHeight;
}
BENCHMARK(BM_PaintMap)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

QImage FullPicture() {
    Sample& s = TheSample();
    s.renderer.Mode = TMapMode::Full;
    PaintMap(s.renderer);
    return SavedPicture(s.renderer);
}

void BM_SaveJpeg(benchmark::State& state) {
    const QImage picture = FullPicture();
    const std::string out = TheSample().dir.File("ours.jpg");
    for (auto _ : state) SaveJpeg(picture, out);
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(out));
}
BENCHMARK(BM_SaveJpeg)->Unit(benchmark::kMillisecond);

// The sample map as a PDF and as an SVG page, from the drawing of its painting.
void BM_SavePage(benchmark::State& state) {
    FullPicture();
    const TDrawing& drawing = TheSample().renderer.Drawing;
    const bool pdf = state.range(0) == 0;
    const std::string out = TheSample().dir.File(pdf ? "map.pdf" : "map.svg");
    for (auto _ : state) pdf ? SavePdf(drawing, out) : SaveSvg(drawing, out);
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(out));
}
BENCHMARK(BM_SavePage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// cjpeg reading the same picture as a 24-bit BMP and writing its JPEG,
// process start included, as a user would run it.
void BM_Cjpeg(benchmark::State& state) {
    const std::string dir = TheSample().dir.Path();
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
