#include "ImageControl.h"

#include <algorithm>
#include <cmath>

#include <QPaintEvent>
#include <QPainter>

namespace {

// Below this zoom a view pixel covers more than two picture pixels a side.
constexpr double kHalf = 0.5;

int Scaled(int length, double zoom) {
    return static_cast<int>(std::lround(length * zoom));
}

}  // namespace

TImageControl::TImageControl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TImageControl::SetPicture(const QImage& picture) {
    picture_ = picture;
    scaled_ = QImage();
    update();
}

QImage& TImageControl::MutablePicture() noexcept {
    scaled_ = QImage();
    return picture_;
}

void TImageControl::SetPictureArea(const QSize& area) {
    area_ = area;
    scaled_ = QImage();
    Resize();
}

void TImageControl::SetZoom(double zoom) {
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (zoom == zoom_) return;
    zoom_ = zoom;
    scaled_ = QImage();
    Resize();
    update();
}

void TImageControl::Resize() {
    resize(Scaled(area_.width(), zoom_), Scaled(area_.height(), zoom_));
}

void TImageControl::SetOutline(const QRect& pictureRect) {
    if (pictureRect == outline_) return;
    outline_ = pictureRect;
    update();
}

QPoint TImageControl::ToPicture(const QPoint& controlPoint) const {
    return QPoint(static_cast<int>(std::floor(controlPoint.x() / zoom_)),
                  static_cast<int>(std::floor(controlPoint.y() / zoom_)));
}

QRect TImageControl::ToControl(const QRect& pictureRect) const {
    const int left = Scaled(pictureRect.left(), zoom_);
    const int top = Scaled(pictureRect.top(), zoom_);
    return QRect(left, top, Scaled(pictureRect.left() + pictureRect.width(), zoom_) - left,
                 Scaled(pictureRect.top() + pictureRect.height(), zoom_) - top);
}

void TImageControl::paintEvent(QPaintEvent* event) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    // Only the exposed part is drawn: the picture is far larger than the view.
    const QRect shown = picture_.rect() & QRect(QPoint(0, 0), area_);
    if (zoom_ == 1.0) {
        const QRect part = event->rect() & shown;
        if (!part.isEmpty()) painter.drawImage(part.topLeft(), picture_, part);
    } else if (zoom_ < kHalf) {
        // Far out every view pixel stands for many picture pixels: they are
        // averaged once for the whole area and kept, as filtering each paint
        // anew would skip most of them.
        if (scaled_.isNull() && !shown.isEmpty()) {
            // The shown area is the picture's top rows: read them in place.
            const QImage source(picture_.constBits(), shown.width(), shown.height(), picture_.bytesPerLine(),
                                picture_.format());
            scaled_ = source.scaled(qMax(1, Scaled(shown.width(), zoom_)), qMax(1, Scaled(shown.height(), zoom_)),
                                    Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        const QRect part = event->rect() & scaled_.rect();
        if (!part.isEmpty()) painter.drawImage(part.topLeft(), scaled_, part);
    } else {
        // Only the picture pixels behind the exposed part, with a margin so
        // that filtering at the edge of a strip sees the pixels beyond it.
        // From half size up, filtering between neighbours takes every picture
        // pixel into account; above 100 % pixels are enlarged as they are.
        const QRect exposed = event->rect();
        const QRect source = QRect(QPoint(static_cast<int>(std::floor(exposed.left() / zoom_)) - 2,
                                          static_cast<int>(std::floor(exposed.top() / zoom_)) - 2),
                                   QPoint(static_cast<int>(std::ceil((exposed.right() + 1) / zoom_)) + 2,
                                          static_cast<int>(std::ceil((exposed.bottom() + 1) / zoom_)) + 2)) &
                             shown;
        if (!source.isEmpty()) {
            painter.save();
            painter.setRenderHint(QPainter::SmoothPixmapTransform, zoom_ < 1.0);
            painter.scale(zoom_, zoom_);
            painter.drawImage(source.topLeft(), picture_, source);
            painter.restore();
        }
    }
    if (!outline_.isEmpty()) {
        // A light band between two dark lines shows on every race colour
        // and on white.
        const QRect box = ToControl(outline_);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(0, 0, 0), 5));
        painter.drawRect(box.adjusted(1, 1, -2, -2));
        painter.setPen(QPen(QColor(255, 230, 0), 3));
        painter.drawRect(box.adjusted(1, 1, -2, -2));
    }
    painter.end();
    emit PicturePainted();
}
