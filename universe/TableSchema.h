#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "TableFormat.h"

class TCustomTable;

// One field of a universe table: its entry in the field catalogue and the
// column of the text export that fills it.
struct TFieldSchema {
    const char* Name;
    uint8_t Type;           // table_format::kFieldInteger or kFieldString
    int32_t DeclaredSize;   // 4 for an integer, the most characters for a string
    int32_t Column;         // 1-based column of an export line
    bool EmptyIsZero;       // an empty integer column counts as "0"
};

// A universe table: where it lives, where it is imported from, and its
// fields. The one list of fields drives making the table file, the check
// that a file has this schema, and the import's columns.
struct TTableSchema {
    const char* Label;        // "Sectors": the table's name in messages and counts
    const char* TableFile;    // "Sectors.dat", in the data folder
    const char* ExportFile;   // "sectors.txt", in the data folder
    std::span<const TFieldSchema> Fields;   // in catalogue order, columns ascending
    int32_t MaxLines;         // lines of the export read at most; 0 for all
};

// Closes the table (storing a pending record), replaces the file at path by a
// new empty table file, opens it and adds the schema's fields in order.
// Afterwards the table is open with its schema and no records. Raises
// EInOutError when the file cannot be made; the table is then left closed
// and without fields.
void CreateFromSchema(TCustomTable& table, const TTableSchema& schema, const std::string& path);

// Replaces all records of the open table by the lines of the export at path,
// one record per line in line order, each written through to the table
// file. The table is emptied first, so an export that cannot be opened
// (EInOutError, "File not found" when missing) leaves it empty. Integer
// columns follow ParseInteger; text columns are taken byte for byte and cut
// to the field's size. A bad integer column (an empty one included, unless
// the field counts an empty column as 0) raises EConvertError "'<column>' is
// not a valid integer value" naming the export and the line: the lines
// before it stay stored, the failing line's record is discarded (no later
// Post, Close or destructor stores it) and the export is closed. Errors of
// the engine end the import the same way, naming the table file. On a table
// without fields an empty export succeeds and any line fails with EListError
// (-1). Memory does not grow with the length of a line.
void ImportFromSchema(TCustomTable& table, const TTableSchema& schema, const std::string& path);

// True when the table is open and its catalogue is exactly the schema's
// (names, types, declared sizes, order).
bool HasSchema(const TCustomTable& table, const TTableSchema& schema);
