#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <tuple>
#include <string>
#include <string_view>

#include <QFont>
#include <QFontMetrics>
#include <QImage>

class TDrawing;

// Colours are 24-bit values written 0xBBGGRR (red in the low byte).
using TColor = uint32_t;
inline constexpr TColor kWhite = 0xFFFFFF;

// Converts between the program's 0xBBGGRR colours and Qt's.
QRgb ToQRgb(TColor color) noexcept;
TColor FromQRgb(QRgb rgb) noexcept;

// Rectangle in image pixels; right and bottom are exclusive.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    int32_t Width() const noexcept { return Right - Left; }
    int32_t Height() const noexcept { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// The canvas font: face, size in points, style and colour. Copied out and
// back whole with TPicture::Font / SetFont.
struct TFontState {
    std::string Name = "Arial";
    int32_t Size = 8;          // points; 96 dpi, so pixels = round(Size * 96 / 72)
    bool Bold = false;
    TColor Color = 0x000000;
    friend bool operator==(const TFontState&, const TFontState&) = default;
};

// A raster picture with a drawing canvas whose brush colour and font persist
// between calls. Fills are exact pixels (no antialiasing); text glyphs are
// hinted to whole pixels and antialiased in grey. Nothing is clipped except
// at the picture's edges. While a recording is on, every fill and text is
// also added to a TDrawing, so the same painting can be played on another
// paint device.
//
// A raster larger than the machine's memory, or one the system refuses,
// raises std::bad_alloc and leaves the picture as it was.
class TPicture {
public:
    TPicture();
    TPicture(int32_t width, int32_t height);   // filled with white
    // Copies share the resolved fonts and do not record; a moved-from
    // picture stays usable because moves copy.
    TPicture(const TPicture& other);
    TPicture& operator=(const TPicture& other);

    int32_t Width() const noexcept;
    int32_t Height() const noexcept;

    // Creates a new raster of the given size, filled with white (canvas state
    // kept). Negative sizes count as 0.
    void SetSize(int32_t width, int32_t height);
    // Cuts or extends the picture at the bottom, keeping the width and the
    // pixels that remain; new rows are white.
    void SetHeight(int32_t height);

    // From now on every fill and text is also added to `drawing`, until
    // RecordInto(nullptr). The drawing must outlive the recording.
    void RecordInto(TDrawing* drawing) noexcept { recording_ = drawing; }

    // Canvas state.
    TColor BrushColor() const noexcept { return brush_; }
    void SetBrushColor(TColor color) noexcept { brush_ = color; }
    const TFontState& Font() const noexcept { return font_; }
    void SetFont(const TFontState& font);
    void SetFontName(const std::string& face);
    void SetFontSize(int32_t points);
    void SetFontBold(bool bold);
    void SetFontColor(TColor color) noexcept { font_.Color = color; }

    // Fills left..right-1 x top..bottom-1 with the brush colour; an empty or
    // inverted rectangle fills nothing; parts outside the picture are dropped.
    void FillRect(const TRect& rect);
    void FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
        FillRect(TRect{left, top, right, bottom});
    }

    // Draws Windows-1251 text opaquely with its top-left corner at (x, y):
    // the box TextWidth x TextHeight is filled with the brush colour, then
    // the glyphs are drawn in the font colour.
    void TextOut(int32_t x, int32_t y, std::string_view text);
    // Width of the text in the current font, in pixels.
    int32_t TextWidth(std::string_view text) const;
    // The current font's line height, whatever the text.
    int32_t TextHeight(std::string_view text) const;

    // The target takes this picture's size and pixels (canvas state of the
    // target is kept).
    void CopyTo(TPicture& target) const;
    // Draws the whole source scaled into rect (each axis independently).
    void StretchDraw(const TRect& rect, const TPicture& source);

    // Pixel at (x, y) as 0xBBGGRR; for tests and tools. Out of range gives 0.
    TColor Pixel(int32_t x, int32_t y) const noexcept;

    // The raster itself (32-bit RGB).
    const QImage& Image() const noexcept { return image_; }
    // The top `height` rows (the whole width); rows below the raster are
    // white. For the raster's own height the raster is shared, not copied.
    QImage Cropped(int32_t height) const;

    // The QFont the canvas uses for a font state (pixel size at 96 dpi).
    static QFont ToQFont(const TFontState& font);

private:
    void FontChanged();

    // A font as Qt draws and measures it, made once per face, size and style.
    struct Resolved {
        QFont font;
        QFontMetrics metrics;
        int32_t lineHeight;
    };
    using FontKey = std::tuple<std::string, int32_t, bool>;

    QImage image_;
    TColor brush_ = kWhite;
    TFontState font_;
    std::shared_ptr<std::map<FontKey, Resolved>> fonts_;
    const Resolved* current_ = nullptr;
    TDrawing* recording_ = nullptr;
};
