#pragma once

// The geometry of the map, in image pixels, and the fonts it is drawn in.
// Each value is named once here, with why it is what it is.

#include <cstdint>

// What the cells show.
enum class TMapMode : int32_t {
    None = 0,       // the renderer's mode before anything chose one: cells get no contents
    Full = 1,       // every factory of the sector, one line each
    Product = 2,    // how many of the sector's factories make the chosen product
    Resource = 3,   // how many of its factory-resource links use the chosen resource
};

// --- The grid ---------------------------------------------------------------
inline constexpr int32_t kGridColumns = 20;   // a sector's "x" is 0..19
inline constexpr int32_t kGridRows = 15;      // a sector's "y" is 0..14
inline constexpr int32_t kCellWidth = 115;    // every column; rows take their height from their contents
inline constexpr int32_t kMapWidth = kGridColumns * kCellWidth;   // 2300
// The raster's height before the first drawing; a taller map grows it.
inline constexpr int32_t kInitialMapHeight = 2500;

// A sector record with this code is not painted (its contents still size
// its row); in a gate field the same number means "no gate on this side".
inline constexpr int32_t kNoSector = 92;
inline constexpr int32_t kNoGate = 92;

// --- A cell -------------------------------------------------------------------
// The white frame around the race colour; neighbouring cells' frames make
// 4-pixel white lines between them.
inline constexpr int32_t kFrameWidth = 2;
// The right gate starts at this offset from the cell's left edge, not at
// right - kFrameWidth: the map's cells are all kCellWidth wide, where both
// are the same, and a cell laid out at another width keeps the gate at the
// place the map has always drawn it.
inline constexpr int32_t kRightGateOffset = kCellWidth - kFrameWidth;   // 113
// The top and bottom gates leave this much frame at each end (so they are
// 39 pixels wide in a 115-pixel cell); the side gates cover the middle
// third of the cell's height.
inline constexpr int32_t kGateMargin = 38;
inline constexpr int32_t kSideGateDivisor = 3;
// Text is set this far in from the cell's left edge (lists) and right edge
// (station marks); the title starts this far below the top.
inline constexpr int32_t kTextInset = 4;
inline constexpr int32_t kTitleTop = 2;
// List lines and mark lines advance by the font's line height less this,
// so lines of the small fonts sit close together.
inline constexpr int32_t kLineTighten = 2;
// A row is its lines plus the title band plus this: the two frames' width.
inline constexpr int32_t kRowPadding = 2 * kFrameWidth;
// The product and resource modes size every row for this many lines.
inline constexpr int32_t kFixedLines = 8;

// --- Fonts (points at 96 dpi) ---------------------------------------------------
inline constexpr const char* kTextFace = "Arial";
inline constexpr const char* kFixedFace = "Courier New";
inline constexpr int32_t kTitleSize = 9;    // sector names, bold
inline constexpr int32_t kListSize = 8;     // factory lists and station marks
inline constexpr int32_t kCountSize = 48;   // the product and resource counts
