// Start-up time of the main window to the first map shown, on the sample
// universe in the Data folder beside this program (target: 0.5 s).
// Run: QT_QPA_PLATFORM=offscreen <build>/bin/kelv_app_bench
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include <QApplication>
#include <QDialog>
#include <benchmark/benchmark.h>

#include "IUserDialogs.h"
#include "ImageControl.h"
#include "KelvProgram.h"
#include "uKelvRef.h"
#include "uMain.h"

namespace {

// A start-up that meets any box has failed; the benchmark reports it.
class TNoDialogs final : public IUserDialogs {
public:
    bool Confirm(QWidget*, const QString&) override { return false; }
    void Message(QWidget*, const QString&) override {}
    void Error(QWidget*, const QString& text) override { error = text; }
    bool AskSaveFile(QWidget*, TSaveDialog&) override { return false; }
    int ShowModal(QDialog&) override { return QDialog::Rejected; }
    QString error;
};

void BM_StartupToFirstMapShown(benchmark::State& state) {
    const TProgramPaths paths = DefaultPaths();
    if (!std::filesystem::exists(paths.DataDir + "Sectors.dat")) {
        state.SkipWithError("no sample tables beside the program (build the kelvmap-sample-data target)");
        return;
    }
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
