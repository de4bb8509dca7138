// kelvmap-cli render: paints the map of a data folder exactly as the main
// window does, without a display, and writes it as JPEG, BMP or PNG.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include <QGuiApplication>

#include "Commands.h"
#include "QtText.h"
#include "ImageWriters.h"
#include "KelvErrors.h"
#include "uGSector.h"
#include "uMapLayout.h"
#include "uQuery.h"
#include "Universe.h"

const char* const kRenderUsage =
    "  kelvmap-cli render DATADIR OUTFILE [--mode full|product|resource] [--name NAME]\n"
    "                     [--no-stations] [--format jpeg|bmp|png]\n"
    "      Paint the map of the five tables of DATADIR and write it to OUTFILE\n"
    "      (2300 pixels wide, as tall as the map). --mode picks the map mode (full\n"
    "      by default); --name is the product or resource whose counts the product\n"
    "      and resource modes show (UTF-8, matched exactly); --no-stations leaves\n"
    "      docks and trading stations out of the resource counts. The format\n"
    "      follows --format, else the extension (.jpg, .jpeg, .bmp, .png).\n"
    "      Prints the size written as WIDTHxHEIGHT.\n";

namespace {

struct RenderOptions {
    std::string dataDir;
    std::string outFile;
    TMapMode mode = TMapMode::Full;
    std::string name;   // UTF-8 as given
    bool countStations = true;
    bool formatGiven = false;
    TImageFormat format = TImageFormat::Jpeg;
};

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool ParseFormat(const std::string& text, TImageFormat& format) {
    const std::string t = Lower(text);
    if (t == "jpeg" || t == "jpg") format = TImageFormat::Jpeg;
    else if (t == "bmp") format = TImageFormat::Bmp;
    else if (t == "png") format = TImageFormat::Png;
    else return false;
    return true;
}

// Returns an error text, or "" when the arguments are usable.
std::string ParseArguments(const std::vector<std::string>& args, RenderOptions& options) {
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--mode") {
            if (!value(v)) return "--mode needs a value";
            if (v == "full") options.mode = TMapMode::Full;
            else if (v == "product") options.mode = TMapMode::Product;
            else if (v == "resource") options.mode = TMapMode::Resource;
            else return "unknown mode '" + v + "' (full, product or resource)";
        } else if (a == "--name") {
            if (!value(options.name)) return "--name needs a value";
        } else if (a == "--no-stations") {
            options.countStations = false;
        } else if (a == "--format") {
            if (!value(v)) return "--format needs a value";
            if (!ParseFormat(v, options.format)) return "unknown format '" + v + "' (jpeg, bmp or png)";
            options.formatGiven = true;
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            return "unknown option '" + a + "'";
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2) return "expected DATADIR and OUTFILE";
    options.dataDir = positional[0];
    if (!options.dataDir.empty() && options.dataDir.back() != '/') options.dataDir += '/';
    options.outFile = positional[1];
    if (!options.formatGiven) {
        const size_t dot = options.outFile.find_last_of("./");
        if (dot == std::string::npos || options.outFile[dot] != '.' ||
            !ParseFormat(options.outFile.substr(dot + 1), options.format))
            return "cannot tell the image format from '" + options.outFile + "'; use --format";
    }
    return "";
}

}  // namespace

int CmdRender(int argc, char** argv, const std::vector<std::string>& args) {
    RenderOptions options;
    const std::string problem = ParseArguments(args, options);
    if (!problem.empty()) {
        std::fprintf(stderr, "kelvmap-cli render: %s\nUsage:\n%s", problem.c_str(), kRenderUsage);
        return 2;
    }
    std::string selected;
    if (!TryToCp1251(QString::fromUtf8(options.name.data(), static_cast<qsizetype>(options.name.size())),
                     selected)) {
        std::fprintf(stderr, "kelvmap-cli render: the name '%s' cannot be written in Windows-1251\n",
                     options.name.c_str());
        return 2;
    }

    // Fonts need the GUI application object; no display is needed.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // A console session without a desktop login has no runtime folder; the
    // toolkit's note about it says nothing about the map, so it is kept off
    // the terminal. Every other message passes through.
    static QtMessageHandler toolkitHandler = nullptr;
    toolkitHandler = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
        if (toolkitHandler) {
            toolkitHandler(type, context, text);
        } else {
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
        }
    });
    QGuiApplication app(argc, argv);

    TUniverse universe;
    try {
        universe.OpenChecked(options.dataDir, TOpenMode::ReadOnly);

        TQuery query;
        const bool countStations = options.countStations;
        TGSector renderer(universe, query, [countStations] { return countStations; });
        renderer.Mode = options.mode;
        renderer.SelectedName = selected;
        PaintMap(renderer);
        const QImage picture = SavedPicture(renderer);
        SaveImage(picture, options.outFile, options.format);
        std::printf("%dx%d\n", picture.width(), picture.height());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kelvmap-cli render: %s\n", DescribeError(e).c_str());
        return 1;
    }
    return 0;
}
