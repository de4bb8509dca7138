// kelvmap-cli render: paints the map of a data folder exactly as the main
// window does, without a display, and writes it as JPEG, BMP or PNG (scaled
// when asked), or as a PDF or SVG page with its text as text.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QGuiApplication>
#include <QSize>
#include <QStringList>

#include "CliOutput.h"
#include "CliResourceNames.h"
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
    "                     [--no-stations] [--format jpeg|bmp|png|pdf|svg]\n"
    "                     [--scale FACTOR | --size WIDTHxHEIGHT]\n"
    "      Paint the map of the five tables of DATADIR and write it to OUTFILE\n"
    "      (2300 pixels wide, as tall as the map). --mode picks the map mode (full\n"
    "      by default); --name is the product or resource whose counts the product\n"
    "      and resource modes show (UTF-8, matched exactly); --no-stations leaves\n"
    "      docks and trading stations out of the resource counts. The format\n"
    "      follows --format, else the extension (.jpg, .jpeg, .bmp, .png, .pdf,\n"
    "      .svg). PDF and SVG hold one page the size of the map with its text as\n"
    "      text. OUTFILE - is standard output (PNG unless --format says otherwise).\n"
    "      --scale multiplies both sides of a JPEG, BMP or PNG picture, --size fits\n"
    "      it inside WIDTHxHEIGHT keeping its aspect, both smoothly.\n"
    "      Prints the size written as WIDTHxHEIGHT (on standard error when the\n"
    "      picture goes to standard output).\n";

namespace {

struct RenderOptions {
    std::string dataDir;
    std::string outFile;
    TMapMode mode = TMapMode::Full;
    std::string name;   // UTF-8 as given
    bool countStations = true;
    bool formatGiven = false;
    TImageFormat format = TImageFormat::Jpeg;
    double scale = 0;     // > 0 when --scale was given
    QSize box;            // valid when --size was given
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
    else if (t == "pdf") format = TImageFormat::Pdf;
    else if (t == "svg") format = TImageFormat::Svg;
    else return false;
    return true;
}

// The factor of --scale: a finite number above 0.
bool ParseScale(const std::string& text, double& scale) {
    char* end = nullptr;
    scale = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0' && std::isfinite(scale) && scale > 0;
}

// WIDTHxHEIGHT of --size, both whole numbers of 1 or more.
bool ParseSize(const std::string& text, QSize& box) {
    const QStringList parts = QString::fromStdString(text).split(QLatin1Char('x'));
    if (parts.size() != 2) return false;
    bool okWidth = false, okHeight = false;
    const int width = parts[0].toInt(&okWidth);
    const int height = parts[1].toInt(&okHeight);
    if (!okWidth || !okHeight || width < 1 || height < 1 || parts[0].startsWith(QLatin1Char('+')) ||
        parts[1].startsWith(QLatin1Char('+')))
        return false;
    box = QSize(width, height);
    return true;
}

// The options of the command line; raises ECliUsage for a value that is
// not one of the options' own.
RenderOptions ReadOptions(const TCliArguments& args) {
    RenderOptions options;
    const std::vector<std::string>& operands = args.Operands(2, 2);
    if (const auto v = args.Value("mode")) {
        if (*v == "full") options.mode = TMapMode::Full;
        else if (*v == "product") options.mode = TMapMode::Product;
        else if (*v == "resource") options.mode = TMapMode::Resource;
        else throw ECliUsage("unknown mode '" + *v + "' (full, product or resource)");
    }
    options.name = args.Value("name").value_or("");
    options.countStations = !args.Has("no-stations");
    if (const auto v = args.Value("format")) {
        if (!ParseFormat(*v, options.format)) throw ECliUsage("unknown format '" + *v + "' (jpeg, bmp, png, pdf or svg)");
        options.formatGiven = true;
    }
    if (const auto v = args.Value("scale"); v && !ParseScale(*v, options.scale))
        throw ECliUsage("bad --scale '" + *v + "' (a number above 0, e.g. 0.5)");
    if (const auto v = args.Value("size"); v && !ParseSize(*v, options.box))
        throw ECliUsage("bad --size '" + *v + "' (WIDTHxHEIGHT, e.g. 800x600)");

    options.dataDir = operands[0];
    if (!options.dataDir.empty() && options.dataDir.back() != '/') options.dataDir += '/';
    options.outFile = operands[1];
    if (options.outFile == kStandardOutput && !options.formatGiven) {
        options.format = TImageFormat::Png;
    } else if (!options.formatGiven) {
        const size_t dot = options.outFile.find_last_of("./");
        if (dot == std::string::npos || options.outFile[dot] != '.' ||
            !ParseFormat(options.outFile.substr(dot + 1), options.format))
            throw ECliUsage("cannot tell the image format from '" + options.outFile + "'; use --format");
    }
    if (options.scale > 0 && options.box.isValid()) throw ECliUsage("--scale and --size cannot be used together");
    if (options.scale > 0 && std::round(kMapWidth * options.scale) < 1)
        throw ECliUsage("--scale makes the map narrower than a pixel");
    if ((options.scale > 0 || options.box.isValid()) && !IsRasterFormat(options.format))
        throw ECliUsage("--scale and --size apply to JPEG, BMP and PNG pictures only");
    return options;
}

// True when the picture went to standard output ("-", /dev/stdout, or the
// file standard output is redirected to), where the size must not follow it.
bool WritesToStandardOutput(const std::string& path) {
    if (path == kStandardOutput) return true;
    struct stat out {}, file {};
    return fstat(STDOUT_FILENO, &out) == 0 && stat(path.c_str(), &file) == 0 && out.st_dev == file.st_dev &&
           out.st_ino == file.st_ino;
}

// The picture scaled as --scale or --size asks, smoothly; unchanged without
// them. Raises when the scaled picture is too small or cannot be had.
QImage Scaled(const QImage& picture, const RenderOptions& options) {
    QSize size;
    if (options.scale > 0) {
        const double width = std::round(picture.width() * options.scale);
        const double height = std::round(picture.height() * options.scale);
        if (width < 1 || height < 1) throw EKelvError("--scale makes the map smaller than a pixel");
        if (width > INT_MAX || height > INT_MAX) throw EKelvError("--scale makes the map too large to paint");
        size = QSize(static_cast<int>(width), static_cast<int>(height));
    } else if (options.box.isValid()) {
        size = picture.size().scaled(options.box, Qt::KeepAspectRatio);
        if (size.isEmpty()) throw EKelvError("--size makes the map smaller than a pixel");
    } else {
        return picture;
    }
    QImage scaled = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (scaled.isNull())
        throw EKelvError("the scaled map is " + std::to_string(size.width()) + "x" + std::to_string(size.height()) +
                         " pixels; there is not enough memory for it");
    return scaled;
}

}  // namespace

int CmdRender(const TCliArguments& args) {
    const RenderOptions options = ReadOptions(args);
    std::string selected;
    if (!TryToCp1251(QString::fromUtf8(options.name.data(), static_cast<qsizetype>(options.name.size())),
                     selected))
        throw ECliUsage("the name '" + options.name + "' cannot be written in Windows-1251");

    // Fonts need the GUI application object; no display is needed.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // A console session without a desktop login has no runtime folder; the
    // toolkit's note about it says nothing about the map, so it is kept off
    // the terminal. Every other message passes through.
    static QtMessageHandler toolkitHandler = nullptr;
    toolkitHandler = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
        // A raster that cannot be had is reported as the map's own error.
        if (type == QtWarningMsg && text.startsWith(QLatin1String("QImage: out of memory"))) return;
        if (toolkitHandler) {
            toolkitHandler(type, context, text);
        } else {
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
        }
    });
    // The toolkit is shown none of the arguments, so that no file name is
    // ever taken for one of its own options.
    static char program[] = "kelvmap-cli";
    char* toolkitArgv[] = {program, nullptr};
    int toolkitArgc = 1;
    QGuiApplication app(toolkitArgc, toolkitArgv);

    TUniverse universe;
    universe.OpenChecked(options.dataDir, TOpenMode::ReadOnly);
    // A name no resource has would paint a map of zero counts.
    if (options.mode == TMapMode::Product || options.mode == TMapMode::Resource)
        RequireResourceName(universe.Resources, selected);

    TQuery query;
    const bool countStations = options.countStations;
    TGSector renderer(universe, query, [countStations] { return countStations; });
    renderer.Mode = options.mode;
    renderer.SelectedName = selected;
    PaintMap(renderer);
    // A reader that goes away is a failed write, reported, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    QSize written;
    if (IsRasterFormat(options.format)) {
        const QImage picture = Scaled(SavedPicture(renderer), options);
        SaveImage(picture, options.outFile, options.format);
        written = picture.size();
    } else {
        SaveDrawing(renderer.Drawing, options.outFile, options.format);
        written = QSize(renderer.Drawing.Width(), renderer.Drawing.Height());
    }
    const std::string size = std::to_string(written.width()) + "x" + std::to_string(written.height()) + "\n";
    if (WritesToStandardOutput(options.outFile))
        std::fputs(size.c_str(), stderr);
    else
        WriteOut(size);
    return 0;
}
