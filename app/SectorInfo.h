#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QColor>
#include <QString>
#include <QStringList>

class TGSector;
struct TMapGrid;

// The station flags of a sector, in the order their marks stand in a cell:
// the field, the mark and what it means.
struct TStationKind {
    const char* Field;
    const char* Mark;
    const char* Meaning;
};
inline constexpr TStationKind kStationKinds[] = {
    {"Trading", "TR", "торговая станция"}, {"Dock", "DK", "док"},
    {"Shipyard", "SY", "верфь"},          {"ShipyardLight", "SL", "лёгкая верфь"},
    {"PirateBase", "PB", "пиратская база"},
};

// What the map knows of one painted sector, in words.
struct TSectorInfo {
    int32_t Column = -1;
    int32_t Row = -1;
    QString Name;
    int32_t Code = 0;
    QString RaceName;
    QColor RaceColour;
    QStringList Gates;       // sides with a gate: "справа", "снизу", "слева", "сверху"
    QStringList Stations;    // "TR торговая станция", ... for every flag that is 1
    // One line per factory name as the full map lists it: symbol, count, in a
    // pirate sector the factory race's initial, then the whole name.
    QStringList Factories;
    // Product and resource maps: the chosen name and how many the sector has.
    bool HasSelected = false;
    QString SelectedCaption;   // "Продукт" or "Ресурс"
    QString SelectedName;
    int32_t SelectedCount = 0;
};

// Reads the sector painted at (column, row) in `grid`, through the tables and
// the collections of `sector` (which moves the tables' current records and
// refills the tally list). Nothing when no sector was painted there or the
// sectors table no longer holds it at that position (re-imported since).
// Raises the table engine's errors.
std::optional<TSectorInfo> ReadSectorInfo(TGSector& sector, const TMapGrid& grid, int32_t column, int32_t row);

// A painted cell and the name it shows.
struct TNamedCell {
    int32_t Column = 0;
    int32_t Row = 0;
    QString Name;
};
// Every painted cell of `grid`, row by row and column by column, with its
// sector's name. Raises the table engine's errors.
std::vector<TNamedCell> NamedCells(TGSector& sector, const TMapGrid& grid);

// Positions in `cells` whose name holds `text`, letter case ignored; none for
// an empty text.
std::vector<int> MatchingCells(const std::vector<TNamedCell>& cells, const QString& text);
