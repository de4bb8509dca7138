// kelvmap-shots OUTPUT_DIR [DATA_DIR]: saves a PNG of every form of the
// program as a player sees it, for checking the layout by eye: the menus,
// the map fitted to the window, at 100 %, 400 % and 50 %, a find match, the
// sector panel, the legend, the options dialog, the about box and the
// message boxes. Reads the tables of DATA_DIR (default: the Data folder
// beside this program); writes nothing else. Run it on a real display (or
// Xvfb) to see the real fonts.
#include <cstdio>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QTimer>

#include "FindBar.h"
#include "ImageControl.h"
#include "Legend.h"
#include "SectorPanel.h"

#include "KelvProgram.h"
#include "QtUserDialogs.h"
#include "RadioGroup.h"
#include "uAbout.h"
#include "uKelvRef.h"
#include "uMain.h"
#include "uOptions.h"

namespace {

void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

bool Save(QWidget& widget, const QDir& out, const char* name) {
    Settle();
    const QString path = out.filePath(QString::fromLatin1(name));
    const bool ok = widget.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: kelvmap-shots OUTPUT_DIR [DATA_DIR]\n");
        return 2;
    }
    QDir out(arguments[1]);
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "kelvmap-shots: cannot create %s\n", qPrintable(arguments[1]));
        return 1;
    }
    TProgramPaths paths = DefaultPaths();
    if (arguments.size() > 2) paths.DataDir = QDir(arguments[2]).absolutePath().toStdString() + "/";

    SetDebugMode(1);
    TQtUserDialogs dialogs;
    TKelvProgram program(dialogs, paths);
    TKelv& kelv = *program.Kelv;
    kelv.resize(1000, 700);
    kelv.show();
    bool ok = Save(kelv, out, "main-full.png");

    kelv.miFile->popup(kelv.mapToGlobal(kelv.MainMenu1->actionGeometry(kelv.miFile->menuAction()).bottomLeft()));
    ok &= Save(*kelv.miFile, out, "menu-file.png");
    kelv.miFile->hide();
    kelv.miDebug->popup(kelv.mapToGlobal(kelv.MainMenu1->actionGeometry(kelv.miDebug->menuAction()).bottomLeft()));
    ok &= Save(*kelv.miDebug, out, "menu-debug.png");
    kelv.miDebug->hide();
    kelv.miView->popup(kelv.mapToGlobal(kelv.MainMenu1->actionGeometry(kelv.miView->menuAction()).bottomLeft()));
    ok &= Save(*kelv.miView, out, "menu-view.png");
    kelv.miView->hide();

    kelv.miZoomFit->trigger();
    ok &= Save(kelv, out, "main-fit.png");

    // A pirate sector: its list lines carry the factories' race initials.
    kelv.FindBar->Open();
    kelv.FindBar->Edit->setText(QStringLiteral("noost"));
    ok &= Save(kelv, out, "main-find-fit.png");
    kelv.SetZoom(1.0);
    kelv.FindNext();
    ok &= Save(kelv, out, "main-find.png");
    const TRect cell = kelv.Grid().CellRect(kelv.FoundCell().Column, kelv.FoundCell().Row);
    kelv.ClickMap(kelv.Map->ToControl(QRect(cell.Left + 20, cell.Top + 20, 1, 1)).topLeft());
    ok &= Save(kelv, out, "main-panel.png");
    kelv.SetZoom(4.0, kelv.Map->mapTo(kelv.ScrollBox1->viewport(),
                                      kelv.Map->ToControl(QRect(cell.Left + 30, cell.Top + 30, 1, 1)).topLeft()));
    ok &= Save(kelv, out, "main-400.png");
    kelv.SetZoom(0.5);
    ok &= Save(kelv, out, "main-50.png");
    kelv.SetZoom(1.0);
    kelv.FindBar->hide();

    kelv.Legend->show();
    ok &= Save(*kelv.Legend, out, "legend.png");
    kelv.Legend->hide();

    TfrmOptions& options = *program.frmOptions;
    options.show();
    ok &= Save(options, out, "options-full.png");
    options.rgType->SetItemIndex(1);
    ok &= Save(options, out, "options-product.png");
    options.rgType->SetItemIndex(2);
    ok &= Save(options, out, "options-resource.png");
    options.rgType->SetItemIndex(1);
    options.cbResource->setCurrentIndex(qMin(3, options.cbResource->count() - 1));
    options.btOKClick();
    kelv.DrawMap();
    ok &= Save(kelv, out, "main-product.png");

    program.AboutBox->show();
    ok &= Save(*program.AboutBox, out, "about.png");
    program.AboutBox->hide();

    auto box = MakeBox(QMessageBox::NoIcon, &kelv,
                       QStringLiteral("Sectors: 1\n\rResources: 2\n\rFabs: 3\n\rSectorsFabs: 4\n\rFabsResources: 5\n\r"));
    box->show();
    ok &= Save(*box, out, "message-load-all.png");
    box->hide();
    auto question = MakeBox(QMessageBox::Question, &kelv, QStringLiteral("Load data fabs resources?"));
    question->show();
    ok &= Save(*question, out, "question.png");
    question->hide();
    return ok ? 0 : 1;
}
