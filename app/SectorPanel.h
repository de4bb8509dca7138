#pragma once

#include <QDockWidget>

#include "SectorInfo.h"

class QTextBrowser;

// The panel beside the map that describes the sector clicked last: name,
// code, race with its colour, grid position, gates, stations spelled out,
// the whole factory list and, on the product and resource maps, the count
// of the chosen name. Created hidden; the main window shows it.
class TSectorPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit TSectorPanel(QWidget* parent = nullptr);

    void ShowInfo(const TSectorInfo& info);
    // Back to the hint that a click on a sector shows it here.
    void Clear();
    // What the panel says, as plain text.
    QString Text() const;

private:
    QTextBrowser* text_;
};
