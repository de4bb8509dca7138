#pragma once

#include <QImage>

class TGSector;

// Paints the whole 20 x 15 grid on sector.Image in sector.Mode and sets
// sector.MapHeight to the bottom of the last row. The image is extended at
// the bottom (new rows white) whenever the map is taller than the raster,
// so nothing of the map is lost; it grows at most a few times per painting,
// to the height of the whole map as far as it can be told. Once the whole
// grid is painted, sector.Grid holds its row spans and the record painted at
// each position, and sector.Drawing the painting's drawing commands.
//
// Table engine errors propagate; the cells painted so far stay, MapHeight
// keeps the bottom of the last finished row, and sector.Grid and
// sector.Drawing are unchanged. A map whose raster cannot be had raises
// EKelvError "the map is N pixels tall; there is not enough memory to paint
// it", the raster as it was.
void PaintMap(TGSector& sector);

// The picture that is saved: the top kMapWidth x sector.MapHeight of the
// map image (the raster itself when it is exactly that tall).
QImage SavedPicture(const TGSector& sector);
