// The body of a sector cell: collecting the sector's entries into the tally
// list and drawing them in each map mode.
#include <string>

#include "uGSector.h"
#include "uKelvRef.h"
#include "uQuery.h"
#include "Universe.h"

namespace {

constexpr int32_t kPirateRace = 7;

}  // namespace

int32_t TGSector::IsNotStationOrDock(const std::string& name) const {
    const std::string sector = universe_.Sectors.GetName();
    return (name == sector + " Station" || name == sector + " Dock") ? 0 : 1;
}

void TGSector::CollectContents() {
    switch (Mode) {
        case TMapMode::Full: CollectFabs(); break;
        case TMapMode::Product: CollectProducts(); break;
        case TMapMode::Resource: CollectResources(); break;
        case TMapMode::None: break;
    }
}

void TGSector::DrawContents() {
    switch (Mode) {
        case TMapMode::Full: DrawFabList(); break;
        case TMapMode::Product:
        case TMapMode::Resource: DrawSelectedCount(); break;
        case TMapMode::None: break;
    }
}

namespace {

// Visits the factory code of every link of the sector, in table order. The
// search belongs to the link table, so lookups in other tables during the
// visit do not disturb it.
template <class Visit>
void ForEachSectorFab(TSectorsFabs& links, int32_t sectorCode, Visit&& visit) {
    for (int32_t link = links.Locate("Sector", sectorCode); link >= 0; link = links.FindNext()) {
        links.GoToRecord(link);
        visit(links.GetFieldValue("Fab").AsInteger());
    }
}

}  // namespace

void TGSector::CollectFabs() {
    TFabs& fabs = universe_.Fabs;
    query_.Clear();
    ForEachSectorFab(universe_.SectorsFabs, universe_.Sectors.GetCode(), [&](int32_t fab) {
        const std::string name = fabs.FabName(fab);
        if (IsNotStationOrDock(name) == 0) return;
        std::string symbol;
        int32_t race = 0;
        // FabName leaves the factory current only when it found it; a link to
        // a missing factory gets no symbol and an unknown race rather than
        // those of whichever factory happened to be current.
        if (!name.empty() || fabs.Locate("Code", fab) >= 0) {
            symbol = fabs.GetFieldValue("Symbol").AsString();
            race = fabs.GetFieldValue("Race").AsInteger();
        }
        query_.Add(MakeTallyItem(name, symbol, race));
    });
    query_.Sort();
}

void TGSector::CollectProducts() {
    query_.Clear();
    ForEachSectorFab(universe_.SectorsFabs, universe_.Sectors.GetCode(), [&](int32_t fab) {
        const int32_t product = universe_.Fabs.FabProduct(fab);
        query_.Add(MakeTallyItem(universe_.Resources.ResourceName(product)));
    });
    query_.Sort();
}

void TGSector::CollectResources() {
    TFabsResources& fabResources = universe_.FabsResources;
    const bool countStations = CountStations();
    query_.Clear();
    ForEachSectorFab(universe_.SectorsFabs, universe_.Sectors.GetCode(), [&](int32_t fab) {
        const std::string name = universe_.Fabs.FabName(fab);
        if (!countStations && IsNotStationOrDock(name) == 0) return;
        for (int32_t pair = fabResources.Locate("Fab", fab); pair >= 0; pair = fabResources.FindNext()) {
            fabResources.GoToRecord(pair);
            const int32_t resource = fabResources.GetFieldValue("Resource").AsInteger();
            query_.Add(MakeTallyItem(universe_.Resources.ResourceName(resource)));
        }
    });
    query_.Sort();
}

void TGSector::DrawFabList() {
    Image.SetFontSize(kListSize);
    const int32_t pitch = Image.TextHeight("w") - kLineTighten;
    const int32_t x0 = universe_.Sectors.GetX() * kCellWidth + kTextInset;
    const int32_t y0 = CellRect.Top + TitleBandHeight();
    const bool pirate = universe_.Sectors.GetRace() == kPirateRace;
    for (int32_t i = 0; i < query_.Count(); ++i) {
        const TallyItem& item = query_[i];
        const int32_t y = y0 + i * pitch;
        std::string prefix = item.Symbol + " " + std::to_string(item.Count) + " ";
        if (pirate) {
            // RaceInitial gives the initial of "Unknown" for a race outside 1..9.
            prefix += RaceInitial(item.Race);
            prefix += ' ';
        }
        Image.SetFontName(kFixedFace);
        Image.SetFontBold(true);
        const int32_t w = Image.TextWidth(prefix);
        Image.TextOut(x0, y, prefix);
        Image.SetFontName(kTextFace);
        Image.SetFontBold(false);
        Image.TextOut(x0 + w, y, item.Name);
    }
}

void TGSector::DrawSelectedCount() {
    const TRect& r = CellRect;
    for (int32_t i = 0; i < query_.Count(); ++i) {
        const TallyItem& item = query_[i];
        if (item.Name != SelectedName) continue;
        const std::string text = std::to_string(item.Count);
        Image.SetFontName(kTextFace);
        Image.SetFontSize(kCountSize);
        Image.TextOut(r.Left + (r.Width() - Image.TextWidth(text)) / 2,
                      r.Top + (r.Height() - Image.TextHeight(text)) / 2, text);
    }
}
