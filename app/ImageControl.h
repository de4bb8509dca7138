#pragma once

#include <QImage>
#include <QWidget>

// An image control: shows its picture unscaled from its top-left corner,
// clipped to the control's own size (which is set from outside, not from the
// picture). Parts of the control the picture does not cover show the window
// background.
class TImageControl : public QWidget {
    Q_OBJECT
public:
    explicit TImageControl(QWidget* parent = nullptr);

    const QImage& Picture() const noexcept { return picture_; }
    // Replaces the picture (shared, not copied, until either side changes).
    void SetPicture(const QImage& picture);
    // The picture to draw on in place; call update() afterwards.
    QImage& MutablePicture() noexcept { return picture_; }

signals:
    // A paint of the control showed (part of) a picture.
    void PicturePainted();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};
