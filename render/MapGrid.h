#pragma once

#include <array>
#include <cstdint>

#include "MapGeometry.h"
#include "Picture.h"

// The cells of one painting of the map: the top and bottom of each grid row
// and, for every grid position, the record of the sectors table painted
// there. A position holds a cell only when a sector was painted on it (a
// sector whose code is 92 is not painted). Points are image pixels.
struct TMapGrid {
    static constexpr int32_t kNoRecord = -1;

    struct Cell {
        int32_t Column = -1;
        int32_t Row = -1;
        bool Valid() const noexcept { return Column >= 0; }
    };

    std::array<int32_t, kGridRows> RowTop{};
    std::array<int32_t, kGridRows> RowBottom{};

    TMapGrid() { Records.fill(kNoRecord); }

    // The record painted at a grid position; kNoRecord for an empty or
    // off-grid position.
    int32_t Record(int32_t column, int32_t row) const noexcept;
    void SetRecord(int32_t column, int32_t row, int32_t record) noexcept;
    // The painted cell that contains the point; an invalid Cell when the point
    // lies in no painted cell (white space, below the map, off the grid).
    Cell CellAt(int32_t x, int32_t y) const noexcept;
    // The rectangle of a grid position as it was painted; empty off the grid.
    TRect CellRect(int32_t column, int32_t row) const noexcept;

private:
    std::array<int32_t, kGridRows * kGridColumns> Records{};
};
