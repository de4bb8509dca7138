#include "FindBar.h"

#include <QLabel>
#include <QLineEdit>
#include <QShortcut>

TFindBar::TFindBar(QWidget* parent) : QToolBar(QStringLiteral("Найти"), parent) {
    setObjectName(QStringLiteral("FindBar"));
    setMovable(false);
    setFloatable(false);
    addWidget(new QLabel(QStringLiteral(" Найти сектор: "), this));
    Edit = new QLineEdit(this);
    Edit->setObjectName(QStringLiteral("FindEdit"));
    Edit->setClearButtonEnabled(true);
    Edit->setMaximumWidth(260);
    addWidget(Edit);
    Note = new QLabel(this);
    Note->setObjectName(QStringLiteral("FindNote"));
    Note->setMinimumWidth(120);
    addWidget(Note);
    auto* hint = new QLabel(QStringLiteral("  Enter, F3: следующий; Shift+F3: предыдущий; Esc: закрыть"), this);
    hint->setEnabled(false);
    addWidget(hint);

    connect(Edit, &QLineEdit::textChanged, this, &TFindBar::TextChanged);
    connect(Edit, &QLineEdit::returnPressed, this, &TFindBar::NextRequested);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, [this] {
        hide();
        emit Closed();
    });
    hide();
}

void TFindBar::Open() {
    show();
    Edit->setFocus(Qt::ShortcutFocusReason);
    Edit->selectAll();
}
