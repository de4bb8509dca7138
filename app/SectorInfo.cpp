#include "SectorInfo.h"

#include "QtText.h"
#include "MapGrid.h"
#include "uGSector.h"
#include "uKelvRef.h"
#include "uQuery.h"
#include "Universe.h"

namespace {

constexpr int32_t kPirateRace = 7;

// Makes the sector painted at (column, row) current; false when the table no
// longer holds a painted sector there.
bool GoToPainted(TSectors& sectors, const TMapGrid& grid, int32_t column, int32_t row) {
    const int32_t record = grid.Record(column, row);
    if (record < 0 || record >= sectors.RecordCount()) return false;
    sectors.GoToRecord(record);
    const FieldValue y = sectors.GetFieldValue("y");
    return sectors.GetX() == column && y.IsInteger() && y.IntValue() == row && sectors.GetCode() != kNoSector;
}

QString FactoryLine(const TallyItem& item, bool pirate) {
    QString line = FromCp1251(item.Symbol) + QLatin1Char(' ') + QString::number(item.Count) + QLatin1Char(' ');
    if (pirate) line += QString(QLatin1Char(RaceInitial(item.Race))) + QLatin1Char(' ');
    return line + FromCp1251(item.Name);
}

}  // namespace

std::optional<TSectorInfo> ReadSectorInfo(TGSector& sector, const TMapGrid& grid, int32_t column, int32_t row) {
    TSectors& sectors = sector.Universe().Sectors;
    if (!GoToPainted(sectors, grid, column, row)) return std::nullopt;

    TSectorInfo info;
    info.Column = column;
    info.Row = row;
    info.Name = FromCp1251(sectors.GetName());
    info.Code = sectors.GetCode();
    const int32_t race = sectors.GetRace();
    info.RaceName = QString::fromLatin1(RaceName(race));
    info.RaceColour = QColor::fromRgb(ToQRgb(RaceColor(race)));

    const std::pair<int32_t, const char*> gates[] = {
        {sectors.GetRight(), "справа"}, {sectors.GetDown(), "снизу"},
        {sectors.GetLeft(), "слева"},   {sectors.GetUp(), "сверху"}};
    for (const auto& [field, side] : gates)
        if (field != kNoGate) info.Gates << QString::fromUtf8(side);
    for (const TStationKind& kind : kStationKinds) {
        const FieldValue flag = sectors.GetFieldValue(kind.Field);
        if (flag.IsInteger() && flag.IntValue() == 1)
            info.Stations << QString::fromLatin1(kind.Mark) + QLatin1Char(' ') + QString::fromUtf8(kind.Meaning);
    }

    // The same collections the cell was painted from; they leave the sector
    // current.
    sector.CollectFabs();
    const TQuery& tally = sector.Query();
    for (int32_t i = 0; i < tally.Count(); ++i) info.Factories << FactoryLine(tally[i], race == kPirateRace);

    if (sector.Mode == TMapMode::Product || sector.Mode == TMapMode::Resource) {
        info.HasSelected = true;
        info.SelectedCaption = sector.Mode == TMapMode::Product ? QStringLiteral("Продукт") : QStringLiteral("Ресурс");
        info.SelectedName = FromCp1251(sector.SelectedName);
        sector.CollectContents();
        for (int32_t i = 0; i < tally.Count(); ++i)
            if (tally[i].Name == sector.SelectedName) info.SelectedCount = tally[i].Count;
    }
    return info;
}

std::vector<TNamedCell> NamedCells(TGSector& sector, const TMapGrid& grid) {
    TSectors& sectors = sector.Universe().Sectors;
    std::vector<TNamedCell> cells;
    for (int32_t row = 0; row < kGridRows; ++row)
        for (int32_t column = 0; column < kGridColumns; ++column)
            if (GoToPainted(sectors, grid, column, row))
                cells.push_back(TNamedCell{column, row, FromCp1251(sectors.GetName())});
    return cells;
}

std::vector<int> MatchingCells(const std::vector<TNamedCell>& cells, const QString& text) {
    std::vector<int> found;
    if (text.isEmpty()) return found;
    for (size_t i = 0; i < cells.size(); ++i)
        if (cells[i].Name.contains(text, Qt::CaseInsensitive)) found.push_back(static_cast<int>(i));
    return found;
}
