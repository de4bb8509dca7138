#pragma once

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>

// A menu's items as text: "-" for a separator, the caption otherwise, with
// "\t" and the shortcut when it has one. Hidden items are left out unless
// asked for.
inline QStringList ItemTexts(const QList<QAction*>& actions, bool includeHidden = false) {
    QStringList texts;
    for (const QAction* action : actions) {
        if (!includeHidden && !action->isVisible()) continue;
        QString text = action->isSeparator() ? QStringLiteral("-") : action->text();
        if (!action->shortcut().isEmpty())
            text += QLatin1Char('\t') + action->shortcut().toString(QKeySequence::PortableText);
        texts << text;
    }
    return texts;
}

inline QStringList ItemTexts(const QMenu* menu, bool includeHidden = false) {
    return ItemTexts(menu->actions(), includeHidden);
}
