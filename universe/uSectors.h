#pragma once

#include <cstdint>
#include <string>

#include "CustomTable.h"

// The five universe tables. Each is a TCustomTable with a fixed schema and two
// operations of its own:
//
// CreateDB(path): closes the table (storing a pending record), replaces the
//   file at path by a new empty table file, opens it and adds the class's
//   fields in schema order. Afterwards the table is open with its schema and
//   no records. Raises EInOutError when the file cannot be created; the table
//   is then left closed and without fields.
//
// LoadFromText(path): replaces all records by the lines of the tab-separated
//   text file at path, one record per line, in line order, each written
//   through to the table file. The table is emptied first, so a text file that
//   cannot be opened (EInOutError, "File not found" when missing) leaves it
//   empty. Lines end with LF or CR LF; a 0x1A byte at the start of a line ends
//   the input; lines may be of any length; columns after the last one used are
//   ignored; text columns are taken byte for byte and cut to the field size.
//   An integer column that is not an integer (an empty one included) raises
//   EConvertError "'<column text>' is not a valid integer value": the lines
//   before it stay stored, the failing line's record is discarded (no later
//   Post, Close or destructor stores it) and the text file is closed. Errors
//   of the engine end the import the same way. On a table without fields an
//   empty file succeeds and any line fails with EListError (-1).
//
// MatchesSchema(): true when the table is open and its field catalogue is
//   exactly the class's schema (names, types, declared sizes, order).

// Sectors: at most the first 300 lines of "sectors.txt" are imported, and an
// empty column 4..9 (x, y, Right, Down, Left, Up) counts as 0.
class TSectors : public TCustomTable {
public:
    using TCustomTable::TCustomTable;
    static constexpr const char* kTableFile = "Sectors.dat";
    static constexpr const char* kTextFile = "sectors.txt";
    static constexpr int32_t kMaxLines = 300;

    void CreateDB(const std::string& path);
    void LoadFromText(const std::string& path);
    bool MatchesSchema() const;

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

class TResources : public TCustomTable {
public:
    using TCustomTable::TCustomTable;
    static constexpr const char* kTableFile = "Resources.dat";
    static constexpr const char* kTextFile = "resources.txt";

    void CreateDB(const std::string& path);
    void LoadFromText(const std::string& path);
    bool MatchesSchema() const;

    // "Name" of the first resource whose "Code" is code, that record being
    // made current; "" (current record unchanged) when there is none.
    std::string ResourceName(int32_t code);
};

class TFabs : public TCustomTable {
public:
    using TCustomTable::TCustomTable;
    static constexpr const char* kTableFile = "Fabs.dat";
    static constexpr const char* kTextFile = "fabs.txt";

    void CreateDB(const std::string& path);
    void LoadFromText(const std::string& path);
    bool MatchesSchema() const;

    // "Name" / "Product" of the first factory whose "Code" is code, that
    // record being made current (so "Symbol" and "Race" can be read next);
    // "" / -1 (current record unchanged) when there is none.
    std::string FabName(int32_t code);
    int32_t FabProduct(int32_t code);
};

// Sector-factory links. Column 1 of "sector fabs.txt" is ignored; columns 2
// and 3 are "Sector" and "Fab".
class TSectorsFabs : public TCustomTable {
public:
    using TCustomTable::TCustomTable;
    static constexpr const char* kTableFile = "SectorsFabs.dat";
    static constexpr const char* kTextFile = "sector fabs.txt";

    void CreateDB(const std::string& path);
    void LoadFromText(const std::string& path);
    bool MatchesSchema() const;
};

class TFabsResources : public TCustomTable {
public:
    using TCustomTable::TCustomTable;
    static constexpr const char* kTableFile = "FabsResources.dat";
    static constexpr const char* kTextFile = "fabs resources.txt";

    void CreateDB(const std::string& path);
    void LoadFromText(const std::string& path);
    bool MatchesSchema() const;
};
