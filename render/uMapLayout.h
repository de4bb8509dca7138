#pragma once

#include <QImage>

class TGSector;

// Paints the whole 20 x 15 grid on sector.Image in sector.Mode and sets
// sector.MapHeight to the bottom of the last row. The image is extended at
// the bottom (new rows white) whenever the map is taller than the raster,
// so nothing of the map is lost. Table engine errors propagate; the cells
// painted so far stay and MapHeight keeps the bottom of the last finished row.
void PaintMap(TGSector& sector);

// The picture that is saved: the top kMapWidth x sector.MapHeight of the
// map image.
QImage SavedPicture(const TGSector& sector);
