#include "uGSector.h"

#include <algorithm>

#include "Needs.h"
#include "uKelvRef.h"
#include "uQuery.h"
#include "Universe.h"

namespace {

// Station flags and their marks, in drawing order.
constexpr struct {
    const char* field;
    const char* mark;
} kStationMarks[] = {
    {"Trading", "TR"}, {"Dock", "DK"}, {"Shipyard", "SY"}, {"ShipyardLight", "SL"}, {"PirateBase", "PB"},
};

}  // namespace

TGSector::TGSector(TUniverse& universe, TQuery& query, std::function<bool()> countStations)
    : Image(kMapWidth, kInitialMapHeight),
      universe_(universe),
      query_(query),
      countStations_(std::move(countStations)) {}

TColor TGSector::SectorColor() const {
    // RaceColor maps a race outside 1..9 to the colour of "Unknown".
    return RaceColor(universe_.Sectors.GetRace());
}

void TGSector::DrawBackground() {
    const TRect& r = CellRect;
    Image.SetBrushColor(kWhite);
    Image.FillRect(r);
    Image.SetBrushColor(SectorColor());
    Image.FillRect(r.Left + kFrameWidth, r.Top + kFrameWidth, r.Right - kFrameWidth, r.Bottom - kFrameWidth);
}

void TGSector::DrawTitle() {
    const TRect& r = CellRect;
    const int32_t w = r.Width();
    const std::string name = universe_.Sectors.GetName();

    Image.SetFontColor(kWhite);
    Image.SetFontSize(kTitleSize);
    Image.SetFontBold(true);
    Image.SetFontName(kTextFace);

    std::string line1 = name;
    std::string line2;
    if (Image.TextWidth(name) >= w - 2 * kFrameWidth) {
        line1 = TokenAt(name, 1, ' ');
        const size_t space = name.find(' ');
        if (space != std::string::npos) line2 = name.substr(space);
    }
    Image.TextOut(r.Left + (w - Image.TextWidth(line1)) / 2, r.Top + kTitleTop, line1);
    if (!line2.empty())
        Image.TextOut(r.Left + (w - Image.TextWidth(line2)) / 2, r.Top + kTitleTop + Image.TextHeight("W"), line2);
    Image.SetFontBold(false);
}

int32_t TGSector::TitleBandHeight() {
    const TFontState saved = Image.Font();
    Image.SetFontColor(kWhite);
    Image.SetFontSize(kTitleSize);
    Image.SetFontBold(true);
    Image.SetFontName(kTextFace);
    const int32_t band = 2 * Image.TextHeight("W");
    Image.SetFont(saved);
    return band;
}

void TGSector::DrawGates() {
    const TRect& r = CellRect;
    const int32_t t = r.Height() / kSideGateDivisor;
    const int32_t f = kFrameWidth;
    const TSectors& sectors = universe_.Sectors;
    if (sectors.GetRight() != kNoGate) Image.FillRect(r.Left + kRightGateOffset, r.Top + t, r.Right, r.Bottom - t);
    if (sectors.GetDown() != kNoGate) Image.FillRect(r.Left + kGateMargin, r.Bottom - f, r.Right - kGateMargin, r.Bottom);
    if (sectors.GetLeft() != kNoGate) Image.FillRect(r.Left, r.Top + t, r.Left + f, r.Bottom - t);
    if (sectors.GetUp() != kNoGate) Image.FillRect(r.Left + kGateMargin, r.Top, r.Right - kGateMargin, r.Top + f);
}

void TGSector::DrawStationMarks() {
    int32_t y = CellRect.Top + TitleBandHeight();
    Image.SetFontSize(kListSize);
    Image.SetFontName(kFixedFace);
    for (const auto& entry : kStationMarks) {
        const FieldValue flag = universe_.Sectors.GetFieldValue(entry.field);
        if (!(flag.IsInteger() && flag.IntValue() == 1)) continue;
        Image.SetFontBold(true);
        Image.TextOut(CellRect.Right - Image.TextWidth(entry.mark) - kTextInset, y, entry.mark);
        y += Image.TextHeight(entry.mark) - kLineTighten;
    }
}

void TGSector::ClearImage() {
    // The whole raster, not only the used height: rows below MapHeight may
    // still hold an earlier, taller map, and a later taller map must not
    // show them in its empty grid positions.
    Image.SetBrushColor(kWhite);
    Image.FillRect(0, 0, kMapWidth, std::max(MapHeight, Image.Height()));
}

bool TGSector::FindSector(int32_t column, int32_t row) {
    TSectors& sectors = universe_.Sectors;
    for (int32_t index = sectors.Locate("x", column); index >= 0; index = sectors.FindNext()) {
        sectors.GoToRecord(index);
        const FieldValue y = sectors.GetFieldValue("y");
        if (y.IsInteger() && y.IntValue() == row) return true;
    }
    return false;
}
