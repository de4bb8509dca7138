#pragma once

#include <QDialog>

class QLabel;

// "Легенда": the race colours with their names, the station marks and what
// they mean, and how to read a line of a cell's factory list. Not modal, so
// it can stay open beside the map.
class TLegend : public QDialog {
    Q_OBJECT
public:
    explicit TLegend(QWidget* parent = nullptr);

    QLabel* Text;
};
