// Start-up time of the main window to the first map shown (target: 0.5 s),
// and the time from OK in the options dialog to the new map shown, at 100 %
// and at 50 % zoom (target: 50 ms), on the sample universe in the Data folder
// beside this program.
// Run: QT_QPA_PLATFORM=offscreen <build>/bin/kelv_app_bench
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <benchmark/benchmark.h>

#include "IUserDialogs.h"
#include "ImageControl.h"
#include "KelvProgram.h"
#include "uKelvRef.h"
#include "RadioGroup.h"
#include "uGSector.h"
#include "uMain.h"
#include "uOptions.h"

namespace {

// A start-up that meets any box has failed; the benchmark reports it.
class TNoDialogs final : public IUserDialogs {
public:
    bool Confirm(QWidget*, const QString&) override { return false; }
    void Message(QWidget*, const QString&) override {}
    void Error(QWidget*, const QString& text, const QString&) override { error = text; }
    bool AskSaveFile(QWidget*, TSaveDialog&) override { return false; }
    int ShowModal(QDialog& form) override {
        if (!acceptOptions) return QDialog::Rejected;
        // OK pressed at once: the mode and name the dialog holds are stored.
        static_cast<TfrmOptions&>(form).btOKClick();
        return form.result();
    }
    QString error;
    bool acceptOptions = false;
};

bool HaveSample(benchmark::State& state) {
    if (std::filesystem::exists(DefaultPaths().DataDir + "Sectors.dat")) return true;
    state.SkipWithError("no sample tables beside the program (build the kelvmap-sample-data target)");
    return false;
}

void BM_StartupToFirstMapShown(benchmark::State& state) {
    const TProgramPaths paths = DefaultPaths();
    if (!HaveSample(state)) return;
    SetDebugMode(0);
    for (auto _ : state) {
        TNoDialogs dialogs;
        TKelvProgram program(dialogs, paths);
        bool shown = false;
        QObject::connect(program.Kelv->Map, &TImageControl::PicturePainted, [&shown] { shown = true; });
        program.Kelv->show();
        while (!shown && dialogs.error.isEmpty()) QApplication::processEvents(QEventLoop::AllEvents, 10);
        if (!dialogs.error.isEmpty()) {
            state.SkipWithError(dialogs.error.toUtf8().constData());
            return;
        }
        state.PauseTiming();
        program.Kelv->hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToFirstMapShown)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Options OK to the new map painted on the screen, in a window of 1440 x 900
// (90 % of a 1600 x 1000 screen) showing the map at range(0) percent; the
// dialog alternates between the full map and one product so every OK draws
// anew. range(1) is the mode of the map drawn.
void BM_OptionsOkToNewMapShown(benchmark::State& state) {
    if (!HaveSample(state)) return;
    SetDebugMode(0);
    TNoDialogs dialogs;
    TKelvProgram program(dialogs, DefaultPaths());
    TKelv& kelv = *program.Kelv;
    kelv.resize(1440, 900);
    kelv.show();
    bool shown = false;
    QObject::connect(kelv.Map, &TImageControl::PicturePainted, [&shown] { shown = true; });
    const auto settle = [&] {
        while (!shown && dialogs.error.isEmpty()) QApplication::processEvents(QEventLoop::AllEvents, 10);
        shown = false;
    };
    settle();
    kelv.SetZoom(state.range(0) / 100.0);
    kelv.Map->update();
    settle();
    TfrmOptions& options = *program.frmOptions;
    options.FormActivate();   // fills the name list
    options.cbResource->setCurrentIndex(0);
    const auto mode = static_cast<TMapMode>(state.range(1));
    dialogs.acceptOptions = true;
    for (auto _ : state) {
        state.PauseTiming();
        // First the other map, untimed, so the timed OK changes what is shown.
        options.rgType->SetItemIndex(mode == TMapMode::Full ? 1 : 0);
        kelv.miOptions->trigger();
        settle();
        options.rgType->SetItemIndex(static_cast<int>(mode) - 1);
        state.ResumeTiming();
        kelv.miOptions->trigger();
        settle();
        if (!dialogs.error.isEmpty()) {
            state.SkipWithError(dialogs.error.toUtf8().constData());
            return;
        }
    }
}
BENCHMARK(BM_OptionsOkToNewMapShown)
    ->ArgNames({"zoom", "mode"})   // mode: 1 full, 2 product
    ->Args({100, 1})
    ->Args({50, 1})
    ->Args({100, 2})
    ->Args({50, 2})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
