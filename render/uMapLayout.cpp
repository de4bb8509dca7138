#include "uMapLayout.h"

#include <algorithm>

#include "uGSector.h"
#include "uQuery.h"
#include "Universe.h"

void PaintMap(TGSector& sector) {
    TSectors& sectors = sector.Universe().Sectors;
    TPicture& image = sector.Image;
    sector.ClearImage();
    // Kept aside until the painting ends, so a failing painting leaves the
    // grid of the last complete one.
    TMapGrid grid;
    int32_t rowTop = 0;
    for (int32_t row = 0; row < kGridRows; ++row) {
        int32_t lines = 0;
        for (int32_t column = 0; column < kGridColumns; ++column) {
            if (!sector.FindSector(column, row)) continue;
            sector.CollectContents();
            lines = std::max(lines, sector.Query().Count());
        }
        if (sector.Mode != TMapMode::Full) lines = kFixedLines;

        // The row is measured in Courier New 8 in whatever style the last
        // painted cell left (bold after station marks).
        image.SetFontName(kFixedFace);
        image.SetFontSize(kListSize);
        const int32_t lineHeight = image.TextHeight("w") - kLineTighten;
        const int32_t rowBottom = rowTop + lineHeight * lines + sector.TitleBandHeight() + kRowPadding;

        // A map taller than the raster gets more raster rather than losing
        // its lower rows.
        if (rowBottom > image.Height()) image.SetHeight(rowBottom);

        for (int32_t column = 0; column < kGridColumns; ++column) {
            if (!sector.FindSector(column, row) || sectors.GetCode() == kNoSector) continue;
            const int32_t x = sectors.GetX();
            sector.SetCellRect(TRect{x * kCellWidth, rowTop, x * kCellWidth + kCellWidth, rowBottom});
            sector.DrawBackground();
            sector.DrawTitle();
            sector.DrawGates();
            sector.CollectContents();
            sector.DrawContents();
            sector.DrawStationMarks();
            grid.SetRecord(column, row, sectors.CurrentIndex());
        }
        grid.RowTop[static_cast<size_t>(row)] = rowTop;
        grid.RowBottom[static_cast<size_t>(row)] = rowBottom;
        rowTop = rowBottom;
        sector.MapHeight = rowBottom;
    }
    sector.Grid = grid;
}

QImage SavedPicture(const TGSector& sector) {
    return sector.Image.Cropped(std::max(sector.MapHeight, 0));
}
