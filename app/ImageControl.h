#pragma once

#include <QImage>
#include <QWidget>

// An image control: shows its picture from its top-left corner, clipped to
// the control's picture area (set from outside, not from the picture) and
// scaled by the zoom: the control is the picture area times the zoom in
// size. Below 100 % the picture is scaled smoothly, above it pixels are
// enlarged as they are. Parts of the area the picture does not cover show
// the window background.
//
// An outline can be laid over one rectangle of the picture; it is painted
// on the screen only, never into the picture.
class TImageControl : public QWidget {
    Q_OBJECT
public:
    static constexpr double kMinZoom = 0.1;
    static constexpr double kMaxZoom = 4.0;

    explicit TImageControl(QWidget* parent = nullptr);

    const QImage& Picture() const noexcept { return picture_; }
    // Replaces the picture (shared, not copied, until either side changes).
    void SetPicture(const QImage& picture);
    // The picture to draw on in place; call update() afterwards.
    QImage& MutablePicture() noexcept;

    // The part of the picture the control shows, in picture pixels: its size
    // at 100 %.
    QSize PictureArea() const noexcept { return area_; }
    void SetPictureArea(const QSize& area);

    double Zoom() const noexcept { return zoom_; }
    // Sets the zoom, held to kMinZoom..kMaxZoom, and resizes the control.
    void SetZoom(double zoom);

    // The outlined rectangle in picture pixels; empty for none.
    QRect Outline() const noexcept { return outline_; }
    void SetOutline(const QRect& pictureRect);

    // A point of the control in picture pixels, and back.
    QPoint ToPicture(const QPoint& controlPoint) const;
    QRect ToControl(const QRect& pictureRect) const;

signals:
    // A paint of the control showed (part of) a picture.
    void PicturePainted();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Resize();

    QImage picture_;
    QSize area_;
    double zoom_ = 1.0;
    QRect outline_;
    // The shown area scaled smoothly, made at the first paint below 50 % and
    // kept until the picture, the area or the zoom changes.
    QImage scaled_;
};
