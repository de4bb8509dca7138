#include "TableSchema.h"

#include <array>

#include "Cp1251.h"
#include "CustomTable.h"
#include "ExportReader.h"
#include "KelvErrors.h"
#include "Needs.h"

namespace {

int32_t StoredSize(const TFieldSchema& f) {
    return f.Type == table_format::kFieldString ? f.DeclaredSize + 1 : f.DeclaredSize;
}

// Reads the field's column of the current line and sets the field in the
// table's record buffer.
void StoreColumn(TCustomTable& table, TExportReader& reader, const TFieldSchema& field, int32_t fieldIndex,
                 std::string& text) {
    uint64_t length = 0;
    if (field.Type == table_format::kFieldString) {
        text.assign(reader.Column(field.Column, static_cast<size_t>(field.DeclaredSize), length));
        table.SetFieldValue(FieldValue(fieldIndex), FieldValue(text));
        return;
    }
    TIntegerScanner scanner;
    const std::string_view start = reader.Column(field.Column, kMessageTextLimit, length, &scanner);
    int32_t value = 0;
    if (!(length == 0 && field.EmptyIsZero) && !scanner.Finish(value)) {
        throw EConvertError::NotAnInteger(Cp1251ForMessage(start, length));
    }
    table.SetFieldValue(FieldValue(fieldIndex), FieldValue(value));
}

}  // namespace

void CreateFromSchema(TCustomTable& table, const TTableSchema& schema, const std::string& path) {
    table.Close();
    table.CreateTableFile(path);  // raises EInOutError when the file cannot be made
    RequireOpen(table, path);
    for (const TFieldSchema& f : schema.Fields) {
        if (table.AddField(f.Name, f.Type, f.DeclaredSize) != 0) {
            table.Close();
            throw EKelvError(std::string("cannot add the field ") + f.Name, path);
        }
    }
}

void ImportFromSchema(TCustomTable& table, const TTableSchema& schema, const std::string& path) {
    table.ClearTable();

    // Field names are resolved once; fields are then set by number.
    constexpr size_t kMaxFields = 16;
    std::array<int32_t, kMaxFields> fieldIndex{};
    for (size_t i = 0; i < schema.Fields.size() && i < kMaxFields; ++i) fieldIndex[i] = table.FieldIndex(schema.Fields[i].Name);

    TExportReader reader(table.FileSystem(), path);
    // The lines' records reach the file in large writes; memory and file
    // agree again when this function returns, by success or by error.
    table.BeginBulkAppend();
    try {
        std::string text;
        while ((schema.MaxLines <= 0 || reader.LineNumber() < schema.MaxLines) && reader.NextLine()) {
            table.AppendRecord();
            for (size_t i = 0; i < schema.Fields.size(); ++i) {
                StoreColumn(table, reader, schema.Fields[i], fieldIndex[i], text);
            }
            table.Post();
        }
    } catch (EKelvError& e) {
        // An error that names no file arose on the failing line of the
        // export (the engine and the reader name their own files).
        e.SetContext(path, reader.LineNumber());
        // The failing line's record must never be stored by a later Post,
        // Close or destructor; the reader closes the export on unwinding. The
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

bool HasSchema(const TCustomTable& table, const TTableSchema& schema) {
    if (!table.Opened()) return false;
    const TFields& fields = table.Fields();
    if (fields.Count() != static_cast<int32_t>(schema.Fields.size())) return false;
    for (size_t i = 0; i < schema.Fields.size(); ++i) {
        const FieldDescriptor& d = fields[static_cast<int32_t>(i)];
        const TFieldSchema& f = schema.Fields[i];
        if (d.FieldName != f.Name || d.FieldType != f.Type || d.FieldSize != StoredSize(f)) return false;
    }
    return true;
}
