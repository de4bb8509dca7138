#include "Picture.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include <QFontMetrics>
#include <QPainter>

#include "Drawing.h"
#include "QtText.h"

namespace {

// Crisp small text needs the font rasteriser to snap stems to whole pixels
// as well as glyph origins. FreeType's default TrueType interpreter hints
// only vertically whatever the hinting asked for; the classic one (35)
// hints both ways, as the map's fonts were made for. The rasteriser reads
// the setting once, when the toolkit first starts it, so it is put in place
// before main() for every program that draws the map (the window and the
// command-line tool render alike). A setting of the user's own for the
// interpreter is kept.
struct TClassicHinting {
    TClassicHinting() {
        const char* current = std::getenv("FREETYPE_PROPERTIES");
        std::string value = current ? current : "";
        if (value.find("interpreter-version") != std::string::npos) return;
        if (!value.empty()) value += ' ';
        value += "truetype:interpreter-version=35";
        setenv("FREETYPE_PROPERTIES", value.c_str(), 1);
    }
};
const TClassicHinting classicHinting;

// 96 dots per inch, the resolution the map's point sizes are meant for.
constexpr int kDotsPerMeter96 = 3780;

uint64_t PhysicalMemory() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize) : UINT64_MAX;
}

QImage NewRaster(int32_t width, int32_t height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    // A raster larger than the machine's memory could only be had by
    // overcommitting, and filling it would bring the out-of-memory killer
    // instead of an error.
    if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4 > PhysicalMemory()) throw std::bad_alloc();
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull() && width > 0 && height > 0) throw std::bad_alloc();
    image.setDotsPerMeterX(kDotsPerMeter96);
    image.setDotsPerMeterY(kDotsPerMeter96);
    image.fill(Qt::white);
    return image;
}

}  // namespace

QRgb ToQRgb(TColor color) noexcept {
    return qRgb(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

TColor FromQRgb(QRgb rgb) noexcept {
    return static_cast<TColor>(qRed(rgb)) | (static_cast<TColor>(qGreen(rgb)) << 8) |
           (static_cast<TColor>(qBlue(rgb)) << 16);
}

TPicture::TPicture() : TPicture(0, 0) {}

TPicture::TPicture(const TPicture& other)
    : image_(other.image_), brush_(other.brush_), font_(other.font_), fonts_(other.fonts_), current_(other.current_) {}

TPicture& TPicture::operator=(const TPicture& other) {
    image_ = other.image_;
    brush_ = other.brush_;
    font_ = other.font_;
    fonts_ = other.fonts_;
    current_ = other.current_;
    return *this;
}

TPicture::TPicture(int32_t width, int32_t height)
    : image_(NewRaster(width, height)), fonts_(std::make_shared<std::map<FontKey, Resolved>>()) {
    FontChanged();
}

int32_t TPicture::Width() const noexcept { return image_.width(); }
int32_t TPicture::Height() const noexcept { return image_.height(); }

void TPicture::SetSize(int32_t width, int32_t height) { image_ = NewRaster(width, height); }

void TPicture::SetHeight(int32_t height) {
    height = std::max(height, 0);
    if (height == image_.height()) return;
    QImage grown = NewRaster(image_.width(), height);
    const int keep = std::min(height, image_.height());
    const size_t rowBytes = static_cast<size_t>(image_.width()) * 4;
    for (int y = 0; y < keep; ++y) std::memcpy(grown.scanLine(y), image_.constScanLine(y), rowBytes);
    image_ = std::move(grown);
}

QFont TPicture::ToQFont(const TFontState& font) {
    QFont q(QString::fromStdString(font.Name));
    // Points to pixels at 96 dpi, rounded like the platform the map was laid
    // out for (8 pt -> 11 px, 9 pt -> 12 px, 48 pt -> 64 px).
    q.setPixelSize(std::max(1, static_cast<int>(std::lround(font.Size * 96.0 / 72.0))));
    q.setBold(font.Bold);
    q.setKerning(false);
    // Glyphs at whole pixels with hinted advances, so that what is measured
    // is what is drawn; grey antialiasing only, whatever the desktop's
    // subpixel setting, so that saved pictures look the same everywhere.
    q.setHintingPreference(QFont::PreferFullHinting);
    q.setStyleStrategy(QFont::NoSubpixelAntialias);
    return q;
}

void TPicture::FontChanged() {
    // The map switches between a handful of fonts for every line it writes;
    // each is resolved by Qt only once.
    FontKey key{font_.Name, font_.Size, font_.Bold};
    auto it = fonts_->find(key);
    if (it == fonts_->end()) {
        QFont q = ToQFont(font_);
        QFontMetrics m(q);
        const int32_t h = m.height();
        it = fonts_->emplace(std::move(key), Resolved{q, m, h}).first;
    }
    current_ = &it->second;
}

void TPicture::SetFont(const TFontState& font) {
    const bool same = font.Name == font_.Name && font.Size == font_.Size && font.Bold == font_.Bold;
    font_ = font;
    if (!same) FontChanged();
}

void TPicture::SetFontName(const std::string& face) {
    if (face == font_.Name) return;
    font_.Name = face;
    FontChanged();
}

void TPicture::SetFontSize(int32_t points) {
    if (points == font_.Size) return;
    font_.Size = points;
    FontChanged();
}

void TPicture::SetFontBold(bool bold) {
    if (bold == font_.Bold) return;
    font_.Bold = bold;
    FontChanged();
}

void TPicture::FillRect(const TRect& rect) {
    if (recording_) recording_->AddFill(rect, brush_);
    // Written straight into the raster: exact pixels, no painter state.
    const int32_t left = std::max(rect.Left, 0);
    const int32_t top = std::max(rect.Top, 0);
    const int32_t right = std::min(rect.Right, Width());
    const int32_t bottom = std::min(rect.Bottom, Height());
    if (left >= right || top >= bottom) return;
    const QRgb value = ToQRgb(brush_);
    for (int32_t y = top; y < bottom; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
        std::fill(line + left, line + right, value);
    }
}

int32_t TPicture::TextWidth(std::string_view text) const {
    return current_->metrics.horizontalAdvance(FromCp1251(text));
}

int32_t TPicture::TextHeight(std::string_view) const { return current_->lineHeight; }

void TPicture::TextOut(int32_t x, int32_t y, std::string_view text) {
    const QString unicode = FromCp1251(text);
    const QFontMetrics& metrics = current_->metrics;
    const int32_t width = metrics.horizontalAdvance(unicode);
    FillRect(x, y, x + width, y + current_->lineHeight);
    if (recording_) recording_->AddText(x, y + metrics.ascent(), current_->font, font_.Color, unicode);
    if (unicode.isEmpty() || image_.isNull()) return;
    QPainter painter(&image_);
    painter.setFont(current_->font);
    painter.setPen(QColor(ToQRgb(font_.Color)));
    painter.drawText(QPoint(x, y + metrics.ascent()), unicode);
}

void TPicture::CopyTo(TPicture& target) const { target.image_ = image_; }

void TPicture::StretchDraw(const TRect& rect, const TPicture& source) {
    if (image_.isNull() || source.image_.isNull() || rect.Width() <= 0 || rect.Height() <= 0) return;
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(rect.Left, rect.Top, rect.Width(), rect.Height()), source.image_);
}

TColor TPicture::Pixel(int32_t x, int32_t y) const noexcept {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
    return FromQRgb(image_.pixel(x, y));
}

QImage TPicture::Cropped(int32_t height) const {
    // A tall map's picture is as large as the memory allows; saving it must
    // not need a second one.
    if (height == image_.height()) return image_;
    if (height >= 0 && height < image_.height()) {
        QImage top = image_.copy(0, 0, image_.width(), height);
        if (top.isNull() && height > 0) throw std::bad_alloc();
        return top;
    }
    QImage out = NewRaster(image_.width(), height);
    const int keep = std::min(out.height(), image_.height());
    const size_t rowBytes = static_cast<size_t>(image_.width()) * 4;
    for (int y = 0; y < keep; ++y) std::memcpy(out.scanLine(y), image_.constScanLine(y), rowBytes);
    return out;
}
