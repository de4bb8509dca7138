#pragma once

#include <cstdint>
#include <vector>

#include <QFont>
#include <QString>

#include "Picture.h"

class QPainter;

// The drawing commands of one painting of the map: every fill and every
// text, in the order they were painted, with the coordinates, colours and
// fonts used. Played on another paint device (a PDF or SVG page) it draws
// the same map as rectangles and real text.
class TDrawing {
public:
    // The page the drawing is meant for, in pixels (0 x 0 until set).
    int32_t Width() const noexcept { return width_; }
    int32_t Height() const noexcept { return height_; }
    void SetSize(int32_t width, int32_t height) noexcept;
    bool IsEmpty() const noexcept { return width_ <= 0 || height_ <= 0; }

    // Adds a fill of left..right-1 x top..bottom-1; an empty rectangle adds
    // nothing.
    void AddFill(const TRect& rect, TColor color);
    // Adds a text whose baseline starts at (x, baseline).
    void AddText(int32_t x, int32_t baseline, const QFont& font, TColor color, const QString& text);

    // Paints every command in order at the recorded coordinates (one unit
    // of the painter per pixel).
    void Play(QPainter& painter) const;

private:
    struct Command {
        TRect Rect;         // a fill; for a text its origin is (Left, Top)
        TColor Color;
        int32_t Font;       // a text's index in fonts_; -1 for a fill
        QString Text;
    };

    int32_t width_ = 0;
    int32_t height_ = 0;
    std::vector<Command> commands_;
    std::vector<QFont> fonts_;   // the few fonts the texts use, each once
};
