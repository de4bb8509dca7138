#include "MapGrid.h"

namespace {

bool OnGrid(int32_t column, int32_t row) noexcept {
    return column >= 0 && column < kGridColumns && row >= 0 && row < kGridRows;
}

}  // namespace

int32_t TMapGrid::Record(int32_t column, int32_t row) const noexcept {
    return OnGrid(column, row) ? Records[static_cast<size_t>(row * kGridColumns + column)] : kNoRecord;
}

void TMapGrid::SetRecord(int32_t column, int32_t row, int32_t record) noexcept {
    if (OnGrid(column, row)) Records[static_cast<size_t>(row * kGridColumns + column)] = record;
}

TMapGrid::Cell TMapGrid::CellAt(int32_t x, int32_t y) const noexcept {
    if (x < 0 || x >= kMapWidth) return {};
    const int32_t column = x / kCellWidth;
    // Rows are few and their heights differ (each follows its longest list).
    for (int32_t row = 0; row < kGridRows; ++row) {
        if (y < RowTop[static_cast<size_t>(row)] || y >= RowBottom[static_cast<size_t>(row)]) continue;
        if (Record(column, row) == kNoRecord) return {};
        return Cell{column, row};
    }
    return {};
}

TRect TMapGrid::CellRect(int32_t column, int32_t row) const noexcept {
    if (!OnGrid(column, row)) return {};
    return TRect{column * kCellWidth, RowTop[static_cast<size_t>(row)], column * kCellWidth + kCellWidth,
                 RowBottom[static_cast<size_t>(row)]};
}
