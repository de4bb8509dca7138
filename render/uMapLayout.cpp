#include "uMapLayout.h"

#include <algorithm>
#include <limits>
#include <new>
#include <string>

#include "KelvErrors.h"
#include "uGSector.h"
#include "uQuery.h"
#include "Universe.h"

namespace {

// The number of text lines a row is sized for: its largest tally in the
// full mode (sectors with code 92 count), kFixedLines in the others.
int32_t RowLines(TGSector& sector, int32_t row) {
    int32_t lines = 0;
    for (int32_t column = 0; column < kGridColumns; ++column) {
        if (!sector.FindSector(column, row)) continue;
        sector.CollectContents();
        lines = std::max(lines, sector.Query().Count());
    }
    return sector.Mode == TMapMode::Full ? lines : kFixedLines;
}

// Makes the raster at least rowBottom tall. Every growth copies the raster,
// so it grows to the bottom of the whole map at once, measured now with the
// row's line height (rows below are measured again when they are painted;
// should they come out taller, the raster grows by half again at least).
void GrowRaster(TGSector& sector, int32_t row, int32_t rowBottom, int32_t lineHeight, bool& grown) {
    TPicture& image = sector.Image;
    int64_t wanted = rowBottom;
    const int32_t band = sector.TitleBandHeight();
    for (int32_t below = row + 1; below < kGridRows; ++below)
        wanted += static_cast<int64_t>(lineHeight) * RowLines(sector, below) + band + kRowPadding;
    if (grown) wanted = std::max<int64_t>(wanted, image.Height() + image.Height() / 2);
    grown = true;
    try {
        if (wanted > std::numeric_limits<int32_t>::max()) throw std::bad_alloc();
        image.SetHeight(static_cast<int32_t>(wanted));
    } catch (const std::bad_alloc&) {
        throw EKelvError("the map is " + std::to_string(wanted) +
                         " pixels tall; there is not enough memory to paint it");
    }
}

// Records what the image paints into a drawing while it lives.
class TRecording {
public:
    TRecording(TPicture& image, TDrawing& drawing) : image_(image) { image_.RecordInto(&drawing); }
    ~TRecording() { image_.RecordInto(nullptr); }
    TRecording(const TRecording&) = delete;
    TRecording& operator=(const TRecording&) = delete;

private:
    TPicture& image_;
};

}  // namespace

void PaintMap(TGSector& sector) {
    TSectors& sectors = sector.Universe().Sectors;
    TPicture& image = sector.Image;
    // Kept aside until the painting ends, so a failing painting leaves the
    // drawing and the grid of the last complete one.
    TDrawing drawing;
    TRecording recording(image, drawing);
    bool grown = false;
    sector.ClearImage();
    TMapGrid grid;
    int32_t rowTop = 0;
    for (int32_t row = 0; row < kGridRows; ++row) {
        const int32_t lines = RowLines(sector, row);

        // The row is measured in Courier New 8 in whatever style the last
        // painted cell left (bold after station marks).
        image.SetFontName(kFixedFace);
        image.SetFontSize(kListSize);
        const int32_t lineHeight = image.TextHeight("w") - kLineTighten;
        const int32_t rowBottom = rowTop + lineHeight * lines + sector.TitleBandHeight() + kRowPadding;

        // A map taller than the raster gets more raster rather than losing
        // its lower rows.
        if (rowBottom > image.Height()) GrowRaster(sector, row, rowBottom, lineHeight, grown);

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
    drawing.SetSize(kMapWidth, sector.MapHeight);
    sector.Drawing = std::move(drawing);
}

QImage SavedPicture(const TGSector& sector) {
    return sector.Image.Cropped(std::max(sector.MapHeight, 0));
}
