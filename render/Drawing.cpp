#include "Drawing.h"

#include <algorithm>

#include <QPainter>

void TDrawing::SetSize(int32_t width, int32_t height) noexcept {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
}

void TDrawing::AddFill(const TRect& rect, TColor color) {
    if (rect.Left >= rect.Right || rect.Top >= rect.Bottom) return;
    commands_.push_back(Command{rect, color, -1, QString()});
}

void TDrawing::AddText(int32_t x, int32_t baseline, const QFont& font, TColor color, const QString& text) {
    if (text.isEmpty()) return;
    // A map uses a handful of fonts, and mostly the one used last.
    auto known = std::find(fonts_.rbegin(), fonts_.rend(), font);
    int32_t index = static_cast<int32_t>(fonts_.rend() - known) - 1;
    if (known == fonts_.rend()) {
        fonts_.push_back(font);
        index = static_cast<int32_t>(fonts_.size()) - 1;
    }
    commands_.push_back(Command{TRect{x, baseline, x, baseline}, color, index, text});
}

void TDrawing::Play(QPainter& painter) const {
    painter.save();
    painter.setPen(Qt::NoPen);
    for (const Command& c : commands_) {
        const QColor color(ToQRgb(c.Color));
        if (c.Font < 0) {
            painter.fillRect(QRect(c.Rect.Left, c.Rect.Top, c.Rect.Width(), c.Rect.Height()), color);
        } else {
            painter.setFont(fonts_[static_cast<size_t>(c.Font)]);
            painter.setPen(color);
            painter.drawText(QPoint(c.Rect.Left, c.Rect.Top), c.Text);
        }
    }
    painter.restore();
}
