#include "RadioGroup.h"

#include <QButtonGroup>
#include <QEvent>
#include <QRadioButton>

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), buttons_(new QButtonGroup(this)) {
    buttons_->setExclusive(true);
    // The caption sits on the frame's top line, so the first button has the
    // room below the line that the fixed layout gives it.
    setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
                                 "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
                                 " left: 7px; padding: 0px 2px; }"));
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        button->setObjectName(QStringLiteral("rgItem%1").arg(i));
        button->setGeometry(8, 16 + 32 * i, 112, 21);
        // The style sheet above stops the group's font from reaching its
        // buttons, so they are given it.
        button->setFont(font());
        buttons_->addButton(button, i);
    }
    connect(buttons_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) emit Clicked(id);
    });
}

void TRadioGroup::changeEvent(QEvent* event) {
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        for (QAbstractButton* button : buttons_->buttons()) button->setFont(font());
}

int TRadioGroup::ItemIndex() const {
    return buttons_->checkedId();
}

void TRadioGroup::SetItemIndex(int index) {
    if (index == ItemIndex()) return;
    if (index < 0 || index >= Count()) {
        // An exclusive group cannot uncheck its last button directly.
        buttons_->setExclusive(false);
        if (QAbstractButton* checked = buttons_->checkedButton()) checked->setChecked(false);
        buttons_->setExclusive(true);
        return;
    }
    buttons_->button(index)->setChecked(true);
}

int TRadioGroup::Count() const {
    return static_cast<int>(buttons_->buttons().size());
}

QRadioButton* TRadioGroup::Item(int index) const {
    return qobject_cast<QRadioButton*>(buttons_->button(index));
}
