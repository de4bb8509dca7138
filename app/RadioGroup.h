#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

// A captioned group of radio buttons with one selected position (or none).
// The buttons stand one below the other, 32 pixels apart, the first 16
// pixels below the group's top edge, in the group's font.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

    // The selected position, -1 when none is selected.
    int ItemIndex() const;
    // Selects a position (-1 or a position past the items clears the
    // selection). Emits Clicked when the selection changes.
    void SetItemIndex(int index);
    int Count() const;
    QRadioButton* Item(int index) const;

protected:
    void changeEvent(QEvent* event) override;

signals:
    // The selected position changed, by the user or by SetItemIndex.
    void Clicked(int index);

private:
    QButtonGroup* buttons_;
};
