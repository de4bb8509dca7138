#pragma once

#include <QImage>

class TGSector;

// Paints the whole 20 x 15 grid on sector.Image in sector.Mode and sets
// sector.MapHeight to the bottom of the last row. The image is extended at
// the bottom (new rows white) whenever the map is taller than the raster,
// so nothing of the map is lost. Once the whole grid is painted,
// sector.Grid holds its row spans and the record painted at each position.
// Table engine errors propagate; the cells painted so far stay, MapHeight
// keeps the bottom of the last finished row and sector.Grid is unchanged.
void PaintMap(TGSector& sector);

// The picture that is saved: the top kMapWidth x sector.MapHeight of the
// map image.
QImage SavedPicture(const TGSector& sector);
