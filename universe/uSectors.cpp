#include "uSectors.h"

#include <array>
#include <span>
#include <string_view>

#include "KelvErrors.h"
#include "Needs.h"
#include "TextLineReader.h"

namespace {

struct FieldDef {
    const char* name;
    uint8_t type;
    int32_t size;  // declared size
};

// One column of a text export and the field it fills.
struct ColumnDef {
    int32_t column;     // 1-based column in the line
    const char* field;
    bool text;          // stored as text, else converted with ParseInteger
    bool emptyIsZero;   // an empty column counts as "0"
};

constexpr std::array<FieldDef, 14> kSectorFields = {{
    {"Code", kFieldInteger, 4},     {"Name", kFieldString, 32},      {"Race", kFieldInteger, 4},
    {"x", kFieldInteger, 4},        {"y", kFieldInteger, 4},         {"Right", kFieldInteger, 4},
    {"Down", kFieldInteger, 4},     {"Left", kFieldInteger, 4},      {"Up", kFieldInteger, 4},
    {"Trading", kFieldInteger, 4},  {"Dock", kFieldInteger, 4},      {"Shipyard", kFieldInteger, 4},
    {"ShipyardLight", kFieldInteger, 4}, {"PirateBase", kFieldInteger, 4},
}};
constexpr std::array<ColumnDef, 14> kSectorColumns = {{
    {1, "Code", false, false},     {2, "Name", true, false},       {3, "Race", false, false},
    {4, "x", false, true},         {5, "y", false, true},          {6, "Right", false, true},
    {7, "Down", false, true},      {8, "Left", false, true},       {9, "Up", false, true},
    {10, "Trading", false, false}, {11, "Dock", false, false},     {12, "Shipyard", false, false},
    {13, "ShipyardLight", false, false}, {14, "PirateBase", false, false},
}};

constexpr std::array<FieldDef, 2> kResourceFields = {{{"Code", kFieldInteger, 4}, {"Name", kFieldString, 32}}};
constexpr std::array<ColumnDef, 2> kResourceColumns = {{{1, "Code", false, false}, {2, "Name", true, false}}};

constexpr std::array<FieldDef, 5> kFabFields = {{
    {"Code", kFieldInteger, 4}, {"Name", kFieldString, 32}, {"Product", kFieldInteger, 4},
    {"Race", kFieldInteger, 4}, {"Symbol", kFieldString, 1},
}};
constexpr std::array<ColumnDef, 5> kFabColumns = {{
    {1, "Code", false, false}, {2, "Name", true, false}, {3, "Product", false, false},
    {4, "Race", false, false}, {5, "Symbol", true, false},
}};

constexpr std::array<FieldDef, 2> kSectorFabFields = {{{"Sector", kFieldInteger, 4}, {"Fab", kFieldInteger, 4}}};
constexpr std::array<ColumnDef, 2> kSectorFabColumns = {{{2, "Sector", false, false}, {3, "Fab", false, false}}};

constexpr std::array<FieldDef, 3> kFabResourceFields = {{
    {"Fab", kFieldInteger, 4}, {"Resource", kFieldInteger, 4}, {"Type", kFieldInteger, 4}}};
constexpr std::array<ColumnDef, 3> kFabResourceColumns = {{
    {1, "Fab", false, false}, {2, "Resource", false, false}, {3, "Type", false, false}}};

constexpr size_t kMaxColumns = 16;

void CreateWithSchema(TCustomTable& table, const std::string& path, std::span<const FieldDef> schema) {
    table.Close();
    table.CreateTableFile(path);  // raises EInOutError when the file cannot be made
    RequireOpen(table, path);
    for (const FieldDef& f : schema) {
        if (table.AddField(f.name, f.type, f.size) != 0) {
            table.Close();
            throw EKelvError("Cannot add field " + std::string(f.name) + " to " + path);
        }
    }
}

bool HasSchema(const TCustomTable& table, std::span<const FieldDef> schema) {
    if (!table.Opened()) return false;
    const TFields& fields = table.Fields();
    if (fields.Count() != static_cast<int32_t>(schema.size())) return false;
    for (size_t i = 0; i < schema.size(); ++i) {
        const FieldDescriptor& d = fields[static_cast<int32_t>(i)];
        const int32_t stored = schema[i].type == kFieldString ? schema[i].size + 1 : schema[i].size;
        if (d.FieldName != schema[i].name || d.FieldType != schema[i].type || d.FieldSize != stored)
            return false;
    }
    return true;
}

// The import shared by the five tables. Field names are resolved once and
// fields then set by number; the line is cut into its columns in one pass.
void LoadLines(TCustomTable& table, const std::string& path, std::span<const ColumnDef> columns,
               int32_t maxLines) {
    table.ClearTable();

    std::array<int32_t, kMaxColumns> fieldIndex{};
    size_t lastColumn = 0;
    for (size_t c = 0; c < columns.size(); ++c) {
        fieldIndex[c] = table.FieldIndex(columns[c].field);
        if (static_cast<size_t>(columns[c].column) > lastColumn) lastColumn = static_cast<size_t>(columns[c].column);
    }

    TextLineReader reader(table.FileSystem(), path);
    // The lines' records reach the file in large writes; memory and file
    // agree again when this function returns, by success or by error.
    table.BeginBulkAppend();
    int32_t lines = 0;
    try {
        std::array<std::string_view, kMaxColumns + 1> cells;
        std::string text;
        for (; maxLines <= 0 || lines < maxLines; ++lines) {
            std::string_view line;
            if (!reader.NextLine(line)) break;
            table.AppendRecord();

            // Same cut as TokenAt(line, k, TAB) for k = 1..lastColumn.
            std::string_view rest = line;
            bool more = true;
            for (size_t k = 0; k < lastColumn; ++k) {
                if (!more) {
                    cells[k] = {};
                    continue;
                }
                const size_t tab = rest.find('\t');
                if (tab == std::string_view::npos) {
                    cells[k] = rest;
                    more = false;
                } else {
                    cells[k] = rest.substr(0, tab);
                    rest.remove_prefix(tab + 1);
                }
            }

            for (size_t c = 0; c < columns.size(); ++c) {
                const ColumnDef& col = columns[c];
                std::string_view cell = cells[static_cast<size_t>(col.column - 1)];
                if (col.text) {
                    text.assign(cell);
                    table.SetFieldValue(FieldValue(fieldIndex[c]), FieldValue(text));
                } else {
                    if (col.emptyIsZero && cell.empty()) cell = "0";
                    table.SetFieldValue(FieldValue(fieldIndex[c]), FieldValue(ParseInteger(cell)));
                }
            }
            table.Post();
        }
    } catch (EKelvError& e) {
        // An error that names no file arose on the failing line of the
        // export (the engine and the reader name their own files).
        e.SetContext(path, lines + 1);
        // The failing line's record must never be stored by a later Post,
        // Close or destructor; the reader closes the file on unwinding. The
        // lines before it are written out; should that fail, its error is the
        // one reported.
        table.DiscardPending();
        table.EndBulkAppend();
        throw;
    } catch (...) {
        table.DiscardPending();
        table.EndBulkAppend();
        throw;
    }
    table.EndBulkAppend();
}

FieldValue Read(const TCustomTable& table, const char* field) { return table.GetFieldValue(field); }

int32_t ReadInt(const TCustomTable& table, const char* field) {
    const FieldValue v = Read(table, field);
    return v.IsEmpty() ? 0 : v.AsInteger();
}

std::string ReadText(const TCustomTable& table, const char* field) {
    const FieldValue v = Read(table, field);
    return v.IsEmpty() ? std::string() : v.AsString();
}

}  // namespace

// --- TSectors ---------------------------------------------------------------

void TSectors::CreateDB(const std::string& path) { CreateWithSchema(*this, path, kSectorFields); }
void TSectors::LoadFromText(const std::string& path) { LoadLines(*this, path, kSectorColumns, kMaxLines); }
bool TSectors::MatchesSchema() const { return HasSchema(*this, kSectorFields); }

int32_t TSectors::GetCode() const { return ReadInt(*this, "Code"); }
std::string TSectors::GetName() const { return ReadText(*this, "Name"); }
int32_t TSectors::GetRace() const { return ReadInt(*this, "Race"); }
int32_t TSectors::GetX() const { return ReadInt(*this, "x"); }
int32_t TSectors::GetRight() const { return ReadInt(*this, "Right"); }
int32_t TSectors::GetDown() const { return ReadInt(*this, "Down"); }
int32_t TSectors::GetLeft() const { return ReadInt(*this, "Left"); }
int32_t TSectors::GetUp() const { return ReadInt(*this, "Up"); }

// --- TResources -------------------------------------------------------------

void TResources::CreateDB(const std::string& path) { CreateWithSchema(*this, path, kResourceFields); }
void TResources::LoadFromText(const std::string& path) { LoadLines(*this, path, kResourceColumns, 0); }
bool TResources::MatchesSchema() const { return HasSchema(*this, kResourceFields); }

std::string TResources::ResourceName(int32_t code) {
    const int32_t n = Locate("Code", code);
    if (n == -1) return {};
    GoToRecord(n);
    return ReadText(*this, "Name");
}

// --- TFabs ------------------------------------------------------------------

void TFabs::CreateDB(const std::string& path) { CreateWithSchema(*this, path, kFabFields); }
void TFabs::LoadFromText(const std::string& path) { LoadLines(*this, path, kFabColumns, 0); }
bool TFabs::MatchesSchema() const { return HasSchema(*this, kFabFields); }

std::string TFabs::FabName(int32_t code) {
    const int32_t n = Locate("Code", code);
    if (n == -1) return {};
    GoToRecord(n);
    return ReadText(*this, "Name");
}

int32_t TFabs::FabProduct(int32_t code) {
    const int32_t n = Locate("Code", code);
    if (n == -1) return -1;
    GoToRecord(n);
    return ReadInt(*this, "Product");
}

// --- TSectorsFabs -----------------------------------------------------------

void TSectorsFabs::CreateDB(const std::string& path) { CreateWithSchema(*this, path, kSectorFabFields); }
void TSectorsFabs::LoadFromText(const std::string& path) { LoadLines(*this, path, kSectorFabColumns, 0); }
bool TSectorsFabs::MatchesSchema() const { return HasSchema(*this, kSectorFabFields); }

// --- TFabsResources ---------------------------------------------------------

void TFabsResources::CreateDB(const std::string& path) { CreateWithSchema(*this, path, kFabResourceFields); }
void TFabsResources::LoadFromText(const std::string& path) { LoadLines(*this, path, kFabResourceColumns, 0); }
bool TFabsResources::MatchesSchema() const { return HasSchema(*this, kFabResourceFields); }
