#pragma once

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Picture.h"
#include "TempDir.h"
#include "uGSector.h"
#include "uQuery.h"
#include "Universe.h"

// A fresh folder per test, removed afterwards.
using RenderTempDir = kelvtest::TempDir;

struct SectorSpec {
    int32_t code = 1;
    std::string name = "Alpha";
    int32_t race = 1;
    int32_t x = 0;
    int32_t y = 0;
    int32_t right = kNoGate;
    int32_t down = kNoGate;
    int32_t left = kNoGate;
    int32_t up = kNoGate;
    int32_t trading = 0;
    int32_t dock = 0;
    int32_t shipyard = 0;
    int32_t shipyardLight = 0;
    int32_t pirateBase = 0;
};

// A small universe of five real table files in a temporary folder, with a
// tally list and a renderer over them.
class TestUniverse {
public:
    TestUniverse() {
        for (size_t i = 0; i < TUniverse::kTableCount; ++i)
            CreateFromSchema(universe.Table(i), TUniverse::Schema(i), dir.File(TUniverse::Schema(i).TableFile));
    }

    void AddSector(const SectorSpec& s) {
        sectors.AppendRecord();
        sectors.SetFieldValue("Code", s.code);
        sectors.SetFieldValue("Name", s.name);
        sectors.SetFieldValue("Race", s.race);
        sectors.SetFieldValue("x", s.x);
        sectors.SetFieldValue("y", s.y);
        sectors.SetFieldValue("Right", s.right);
        sectors.SetFieldValue("Down", s.down);
        sectors.SetFieldValue("Left", s.left);
        sectors.SetFieldValue("Up", s.up);
        sectors.SetFieldValue("Trading", s.trading);
        sectors.SetFieldValue("Dock", s.dock);
        sectors.SetFieldValue("Shipyard", s.shipyard);
        sectors.SetFieldValue("ShipyardLight", s.shipyardLight);
        sectors.SetFieldValue("PirateBase", s.pirateBase);
        sectors.Post();
    }
    void AddResource(int32_t code, const std::string& name) {
        resources.AppendRecord();
        resources.SetFieldValue("Code", code);
        resources.SetFieldValue("Name", name);
        resources.Post();
    }
    void AddFab(int32_t code, const std::string& name, int32_t product = 0, int32_t race = 1,
                const std::string& symbol = "F") {
        fabs.AppendRecord();
        fabs.SetFieldValue("Code", code);
        fabs.SetFieldValue("Name", name);
        fabs.SetFieldValue("Product", product);
        fabs.SetFieldValue("Race", race);
        fabs.SetFieldValue("Symbol", symbol);
        fabs.Post();
    }
    void AddLink(int32_t sector, int32_t fab) {
        sectorsFabs.AppendRecord();
        sectorsFabs.SetFieldValue("Sector", sector);
        sectorsFabs.SetFieldValue("Fab", fab);
        sectorsFabs.Post();
    }
    void AddFabResource(int32_t fab, int32_t resource, int32_t type = 1) {
        fabsResources.AppendRecord();
        fabsResources.SetFieldValue("Fab", fab);
        fabsResources.SetFieldValue("Resource", resource);
        fabsResources.SetFieldValue("Type", type);
        fabsResources.Post();
    }
    // Makes the first sector with this code the current record.
    void MakeCurrent(int32_t code) {
        const int32_t index = sectors.Locate("Code", code);
        ASSERT_GE(index, 0) << "no sector " << code;
        sectors.GoToRecord(index);
    }
    // The tally as (name, count) pairs, in list order.
    std::vector<std::pair<std::string, int32_t>> Tally() const {
        std::vector<std::pair<std::string, int32_t>> out;
        for (int32_t i = 0; i < query.Count(); ++i) out.emplace_back(query[i].Name, query[i].Count);
        return out;
    }

    RenderTempDir dir;
    TUniverse universe;
    TSectors& sectors = universe.Sectors;
    TResources& resources = universe.Resources;
    TFabs& fabs = universe.Fabs;
    TSectorsFabs& sectorsFabs = universe.SectorsFabs;
    TFabsResources& fabsResources = universe.FabsResources;
    TQuery query;
    bool countStations = true;
    TGSector renderer{universe, query, [this] { return countStations; }};
};

// Line heights as the map measures them, from the fonts actually in use.
inline int32_t FontHeight(const std::string& face, int32_t size, bool bold) {
    TPicture p(1, 1);
    p.SetFont(TFontState{face, size, bold, kWhite});
    return p.TextHeight("W");
}
inline int32_t TitleBand() { return 2 * FontHeight("Arial", 9, true); }

// Pixels of a region of two pictures that differ.
inline int CountDifferences(const TPicture& a, const TPicture& b, const TRect& r) {
    int n = 0;
    for (int32_t y = r.Top; y < r.Bottom; ++y)
        for (int32_t x = r.Left; x < r.Right; ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y)) ++n;
    return n;
}

inline int CountColour(const TPicture& p, const TRect& r, TColor c) {
    int n = 0;
    for (int32_t y = r.Top; y < r.Bottom; ++y)
        for (int32_t x = r.Left; x < r.Right; ++x)
            if (p.Pixel(x, y) == c) ++n;
    return n;
}
