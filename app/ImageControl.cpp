#include "ImageControl.h"

#include <QPaintEvent>
#include <QPainter>

TImageControl::TImageControl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TImageControl::SetPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void TImageControl::paintEvent(QPaintEvent* event) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    // Only the exposed part is drawn: the picture is far larger than the view.
    const QRect area = event->rect() & picture_.rect();
    if (!area.isEmpty()) painter.drawImage(area.topLeft(), picture_, area);
    painter.end();
    emit PicturePainted();
}
