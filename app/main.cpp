// KelvMap: the universe map of the game, drawn from the five tables in the
// Data folder beside the program (a portable copy) or in the user's data
// folder (an installed program, see ProgramFolders.h).
//
// Command line: the single argument "d" starts the program in debug mode,
// which shows the "Debug" menu. With the environment variable
// KELVMAP_STARTUP_TIMING set, the program prints the milliseconds from its
// start to the first showing of the map (and whether debug mode is on) on
// stdout and quits.
//
// The toolkit's own texts (file dialog, message box buttons) follow the
// user's locale when its translations are installed; the program's texts
// stay as they are.
#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include "ImageControl.h"
#include "KelvProgram.h"
#include "KelvVersion.h"
#include "QtUserDialogs.h"
#include "StandardDescriptors.h"
#include "uKelvRef.h"
#include "uMain.h"

int main(int argc, char** argv) {
    // Before the toolkit or anything else opens a file: no table or image
    // may take the number of a closed standard stream.
    if (!EnsureStandardDescriptors()) {
        std::fputs("kelvmap: /dev/null cannot be opened in the place of a closed standard stream\n", stderr);
        return 1;
    }
    QElapsedTimer sinceStart;
    sinceStart.start();

    // Counted as given: the application object removes its own options
    // ("-platform xcb") from argv.
    SetDebugMode(DebugSwitch(ArgumentsAfterProgram(argc, argv)));
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kelvmap"));
    QApplication::setApplicationVersion(QString::fromUtf8(kKelvVersion));
    // The desktop entry's name, so that desktops match the window to its
    // menu entry and icon.
    QApplication::setDesktopFileName(QString::fromUtf8(kKelvAppId));
    // The icon's sizes are built into the program (:/icons), so the window
    // has its icon whatever the desktop's icon theme holds.
    QIcon icon;
    for (const QString& file : QDir(QStringLiteral(":/icons")).entryList(QDir::Files))
        icon.addFile(QStringLiteral(":/icons/") + file);
    QApplication::setWindowIcon(icon);
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkitTexts);

    const qint64 toolkitReady = sinceStart.elapsed();
    TQtUserDialogs dialogs;
    const TProgramPaths paths = DefaultPaths();
    PrepareDataFolder(paths, dialogs);
    TKelvProgram program(dialogs, paths);
    const qint64 mapDrawn = sinceStart.elapsed();

    // Outlives the block below: the report runs from the event loop.
    bool reported = false;
    if (qEnvironmentVariableIsSet("KELVMAP_STARTUP_TIMING")) {
        QObject::connect(program.Kelv->Map, &TImageControl::PicturePainted, &application, [&] {
            if (reported) return;
            reported = true;
            std::printf("startup: %lld ms to the first map shown (toolkit ready %lld ms, map drawn %lld ms, "
                        "debug mode %d)\n",
                        static_cast<long long>(sinceStart.elapsed()), static_cast<long long>(toolkitReady),
                        static_cast<long long>(mapDrawn), DebugMode());
            std::fflush(stdout);
            QTimer::singleShot(0, &application, &QCoreApplication::quit);
        });
        // Without a map (the first drawing failed) there is nothing to wait for.
        if (!program.Kelv->HasMap()) {
            std::printf("startup: no map was drawn\n");
            return 1;
        }
    }

    program.Kelv->show();
    return application.exec();
}
