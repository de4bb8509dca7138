#pragma once

#include <QToolBar>

class QLabel;
class QLineEdit;

// The find bar under the map: a field for part of a sector name and a note
// of how many sectors match. Enter asks for the next match; Esc hides the
// bar. Created hidden.
class TFindBar : public QToolBar {
    Q_OBJECT
public:
    explicit TFindBar(QWidget* parent = nullptr);

    QLineEdit* Edit;
    QLabel* Note;

    // Shows the bar with the field focused and its text selected.
    void Open();

signals:
    void TextChanged(const QString& text);
    void NextRequested();
    void Closed();
};
