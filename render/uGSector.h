#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "Drawing.h"
#include "MapGeometry.h"
#include "MapGrid.h"
#include "Picture.h"

class TQuery;
class TUniverse;

// The sector cell renderer: owns the off-screen map image and paints one
// sector cell at a time on it, for the sector that is the current record of
// Sectors. The tables and the tally list are borrowed and must outlive it.
//
// Table engine errors (a closed table, a table without the expected fields)
// propagate out of every operation unchanged; what was painted stays.
class TGSector {
public:
    // `countStations` answers whether docks and trading stations count in the
    // resource mode; it is asked at every collection. An empty function
    // counts them.
    TGSector(TUniverse& universe, TQuery& query, std::function<bool()> countStations = {});

    // The map image: created kMapWidth x kInitialMapHeight, white. PaintMap
    // extends it at the bottom when the map grows taller; it never shrinks.
    TPicture Image;
    TRect CellRect;
    TMapMode Mode = TMapMode::None;
    std::string SelectedName;   // Windows-1251, compared byte for byte
    // Used height of Image: kInitialMapHeight until the first PaintMap, then
    // the bottom of the last grid row.
    int32_t MapHeight = kInitialMapHeight;
    // The cells of the last PaintMap that ran to its end (row spans and the
    // sector record painted at each grid position); empty before.
    TMapGrid Grid;
    // The drawing commands of the last PaintMap that ran to its end, on a
    // page kMapWidth x its MapHeight: the same map for PDF and SVG pages.
    // Empty before.
    TDrawing Drawing;

    void SetCellRect(const TRect& rect) noexcept { CellRect = rect; }

    // White frame of 2 pixels around the race colour; leaves the brush at the
    // race colour.
    void DrawBackground();
    // The sector name on one or two centred lines; leaves Arial 9 regular white.
    void DrawTitle();
    // Twice the line height of Arial 9 bold; leaves the canvas font unchanged.
    int32_t TitleBandHeight();
    // Opens the frame on every side whose gate field is not 92.
    void DrawGates();
    // "TR", "DK", "SY", "SL", "PB" right-aligned below the title band, one
    // per line, for each flag that equals 1.
    void DrawStationMarks();

    // Fills (0, 0)-(kMapWidth, MapHeight) with white.
    void ClearImage();
    // Makes the first sector record at (column, row) current; false when
    // there is none.
    bool FindSector(int32_t column, int32_t row);

    // Contents of the cell according to Mode (other modes do nothing).
    void CollectContents();
    void DrawContents();
    void CollectFabs();
    void CollectProducts();
    void CollectResources();
    void DrawFabList();
    void DrawSelectedCount();
    // 0 when name is the sector's station ("<sector> Station") or dock
    // ("<sector> Dock"), byte for byte; otherwise 1.
    int32_t IsNotStationOrDock(const std::string& name) const;

    TQuery& Query() noexcept { return query_; }
    TUniverse& Universe() const noexcept { return universe_; }

private:
    bool CountStations() const { return !countStations_ || countStations_(); }
    TColor SectorColor() const;

    TUniverse& universe_;
    TQuery& query_;
    std::function<bool()> countStations_;
};
