#include "Universe.h"

#include <exception>

#include "KelvErrors.h"
#include "TableCheck.h"

namespace {

constexpr std::array<const TTableSchema*, TUniverse::kTableCount> kSchemas = {
    &TSectors::kSchema, &TResources::kSchema, &TFabs::kSchema, &TSectorsFabs::kSchema, &TFabsResources::kSchema};

[[noreturn]] void Refuse(const std::string& text, const std::string& path, const std::string& hint = {}) {
    EKelvError error(text + "; nothing was imported");
    error.SetContext(path);
    error.SetHint(hint);
    throw error;
}

}  // namespace

TUniverse::TUniverse(ITableFileSystem& fileSystem)
    : Sectors(fileSystem),
      Resources(fileSystem),
      Fabs(fileSystem),
      SectorsFabs(fileSystem),
      FabsResources(fileSystem),
      tables_{&Sectors, &Resources, &Fabs, &SectorsFabs, &FabsResources} {}

TCustomTable& TUniverse::Table(size_t i) { return *tables_.at(i); }
const TCustomTable& TUniverse::Table(size_t i) const { return *tables_.at(i); }
const TTableSchema& TUniverse::Schema(size_t i) { return *kSchemas.at(i); }

std::array<TOpenStatus, TUniverse::kTableCount> TUniverse::OpenAll(const std::string& dir) {
    std::array<TOpenStatus, kTableCount> statuses{};
    std::exception_ptr first;
    for (size_t i = 0; i < kTableCount; ++i) {
        try {
            statuses[i] = Table(i).Open(dir + Schema(i).TableFile);
        } catch (...) {
            statuses[i] = TOpenStatus::NotTableFile;
            if (!first) first = std::current_exception();
        }
    }
    if (first) std::rethrow_exception(first);
    return statuses;
}

void TUniverse::OpenChecked(const std::string& dir, TOpenMode mode) {
    for (size_t i = 0; i < kTableCount; ++i) {
        const std::string path = dir + Schema(i).TableFile;
        RequireOpen(Table(i), path, mode);
        if (!HasSchema(Table(i), Schema(i))) {
            throw EKelvError(std::string("does not hold the fields of ") + Schema(i).TableFile, path);
        }
    }
}

void TUniverse::LoadAll(const std::string& dir) {
    for (size_t i = 0; i < kTableCount; ++i) ImportFromSchema(Table(i), Schema(i), dir + Schema(i).ExportFile);
}

void TUniverse::ImportFolder(const std::string& dir, const std::function<void(const std::string&)>& cut) {
    std::array<bool, kTableCount> make{};
    for (size_t i = 0; i < kTableCount; ++i) {
        TCustomTable& table = Table(i);
        const std::string path = dir + Schema(i).TableFile;
        if (CutPartialTail(table.FileSystem(), path) && cut) cut(path);
        TOpenStatus status = TOpenStatus::Opened;
        try {
            status = table.Open(path);
        } catch (EKelvError& e) {
            // A file too short for a table header, for one.
            Refuse(OpenStatusText(TOpenStatus::NotTableFile) + " (" + e.what() + ")", path, e.Hint());
        }
        if (status == TOpenStatus::FileNotFound) {
            make[i] = true;
        } else if (status != TOpenStatus::Opened && status != TOpenStatus::AlreadyOpen) {
            Refuse(OpenStatusText(status), path);
        } else if (!HasSchema(table, Schema(i))) {
            // A table file without fields holds nothing; it is given the schema.
            if (table.Fields().Count() != 0 || table.RecordCount() != 0)
                Refuse(std::string("does not have the fields of the ") + Schema(i).Label + " table", path);
            table.Close();
            make[i] = true;
        }
    }
    for (size_t i = 0; i < kTableCount; ++i) {
        if (make[i]) CreateFromSchema(Table(i), Schema(i), dir + Schema(i).TableFile);
        ImportFromSchema(Table(i), Schema(i), dir + Schema(i).ExportFile);
    }
}

void TUniverse::CloseAll() {
    for (TCustomTable* table : tables_) table->Close();
}
