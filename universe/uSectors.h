#pragma once

#include <cstdint>
#include <string>

#include "CustomTable.h"
#include "TableSchema.h"

// The five universe tables. Each is a TCustomTable with a fixed schema
// (kSchema: file, export and fields, see TableSchema.h), and three
// operations of its own, the same for all five:
//
// CreateDB(path): closes the table (storing a pending record), replaces the
//   file at path by a new empty table file, opens it and adds the class's
//   fields in schema order (CreateFromSchema).
// LoadFromText(path): replaces all records by the lines of the tab-separated
//   export at path (ImportFromSchema, which tells the import's rules and
//   failures).
// MatchesSchema(): true when the table is open and its field catalogue is
//   exactly the class's schema (names, types, declared sizes, order).

namespace universe_schema {

using table_format::kFieldInteger;
using table_format::kFieldString;

// Sectors: the grid position, gates ("Right" .. "Up"; 92 is no gate) and
// station flags (1 = present) of each sector. An empty column 4..9 counts as 0.
inline constexpr TFieldSchema kSectors[] = {
    {"Code", kFieldInteger, 4, 1, false},      {"Name", kFieldString, 32, 2, false},
    {"Race", kFieldInteger, 4, 3, false},      {"x", kFieldInteger, 4, 4, true},
    {"y", kFieldInteger, 4, 5, true},          {"Right", kFieldInteger, 4, 6, true},
    {"Down", kFieldInteger, 4, 7, true},       {"Left", kFieldInteger, 4, 8, true},
    {"Up", kFieldInteger, 4, 9, true},         {"Trading", kFieldInteger, 4, 10, false},
    {"Dock", kFieldInteger, 4, 11, false},     {"Shipyard", kFieldInteger, 4, 12, false},
    {"ShipyardLight", kFieldInteger, 4, 13, false}, {"PirateBase", kFieldInteger, 4, 14, false},
};
inline constexpr TFieldSchema kResources[] = {
    {"Code", kFieldInteger, 4, 1, false}, {"Name", kFieldString, 32, 2, false}};
inline constexpr TFieldSchema kFabs[] = {
    {"Code", kFieldInteger, 4, 1, false},    {"Name", kFieldString, 32, 2, false},
    {"Product", kFieldInteger, 4, 3, false}, {"Race", kFieldInteger, 4, 4, false},
    {"Symbol", kFieldString, 1, 5, false},
};
// Column 1 of "sector fabs.txt" is not read.
inline constexpr TFieldSchema kSectorsFabs[] = {
    {"Sector", kFieldInteger, 4, 2, false}, {"Fab", kFieldInteger, 4, 3, false}};
inline constexpr TFieldSchema kFabsResources[] = {
    {"Fab", kFieldInteger, 4, 1, false}, {"Resource", kFieldInteger, 4, 2, false},
    {"Type", kFieldInteger, 4, 3, false}};

}  // namespace universe_schema

// A table class over its schema.
template <const TTableSchema& Schema>
class TUniverseTable : public TCustomTable {
public:
    using TCustomTable::TCustomTable;
    static constexpr const TTableSchema& kSchema = Schema;
    static constexpr const char* kTableFile = Schema.TableFile;
    static constexpr const char* kTextFile = Schema.ExportFile;

    void CreateDB(const std::string& path) { CreateFromSchema(*this, Schema, path); }
    void LoadFromText(const std::string& path) { ImportFromSchema(*this, Schema, path); }
    bool MatchesSchema() const { return HasSchema(*this, Schema); }
};

// A sectors import reads at most the first 300 lines of its export.
inline constexpr TTableSchema kSectorsSchema{"Sectors", "Sectors.dat", "sectors.txt", universe_schema::kSectors, 300};
inline constexpr TTableSchema kResourcesSchema{"Resources", "Resources.dat", "resources.txt", universe_schema::kResources, 0};
inline constexpr TTableSchema kFabsSchema{"Fabs", "Fabs.dat", "fabs.txt", universe_schema::kFabs, 0};
inline constexpr TTableSchema kSectorsFabsSchema{"SectorsFabs", "SectorsFabs.dat", "sector fabs.txt",
                                             universe_schema::kSectorsFabs, 0};
inline constexpr TTableSchema kFabsResourcesSchema{"FabsResources", "FabsResources.dat", "fabs resources.txt",
                                               universe_schema::kFabsResources, 0};

class TSectors : public TUniverseTable<kSectorsSchema> {
public:
    using TUniverseTable::TUniverseTable;
    static constexpr int32_t kMaxLines = kSectorsSchema.MaxLines;

    // Fields of the current record (0 / "" when the engine yields the empty
    // value, e.g. on a new record).
    int32_t GetCode() const;
    std::string GetName() const;
    int32_t GetRace() const;
    int32_t GetX() const;
    int32_t GetRight() const;
    int32_t GetDown() const;
    int32_t GetLeft() const;
    int32_t GetUp() const;
};

class TResources : public TUniverseTable<kResourcesSchema> {
public:
    using TUniverseTable::TUniverseTable;

    // "Name" of the first resource whose "Code" is code, that record being
    // made current; "" (current record unchanged) when there is none.
    std::string ResourceName(int32_t code);
};

class TFabs : public TUniverseTable<kFabsSchema> {
public:
    using TUniverseTable::TUniverseTable;

    // "Name" / "Product" of the first factory whose "Code" is code, that
    // record being made current (so "Symbol" and "Race" can be read next);
    // "" / -1 (current record unchanged) when there is none.
    std::string FabName(int32_t code);
    int32_t FabProduct(int32_t code);
};

// Sector-factory links: which factory stands in which sector.
class TSectorsFabs : public TUniverseTable<kSectorsFabsSchema> {
public:
    using TUniverseTable::TUniverseTable;
};

// Factory-resource links: which resources each factory deals in.
class TFabsResources : public TUniverseTable<kFabsResourcesSchema> {
public:
    using TUniverseTable::TUniverseTable;
};
