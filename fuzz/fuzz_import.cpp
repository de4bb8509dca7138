// fuzz_import: the input bytes are a text export. Each of the five universe
// tables imports them (through the test support's in-memory file system);
// then the table in memory must equal the table file read back by a fresh
// table. Any crash, sanitizer report or difference is a finding; the
// import's own errors (EKelvError: a bad integer column, an empty line) are
// expected answers to bad input.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "CustomTable.h"
#include "KelvErrors.h"
#include "MemoryFileSystem.h"
#include "Universe.h"

namespace {

std::vector<std::vector<FieldValue>> Rows(TCustomTable& table) {
    std::vector<std::vector<FieldValue>> rows;
    for (int32_t r = 0; r < table.RecordCount(); ++r) {
        table.GoToRecord(r);
        std::vector<FieldValue> row;
        for (int32_t f = 0; f < table.Fields().Count(); ++f) row.push_back(table.GetFieldValue(f));
        rows.push_back(std::move(row));
    }
    return rows;
}

bool Same(const std::vector<std::vector<FieldValue>>& a, const std::vector<std::vector<FieldValue>>& b) {
    if (a.size() != b.size()) return false;
    for (size_t r = 0; r < a.size(); ++r) {
        if (a[r].size() != b[r].size()) return false;
        for (size_t f = 0; f < a[r].size(); ++f) {
            if (a[r][f].GetKind() != b[r][f].GetKind() || a[r][f].IntValue() != b[r][f].IntValue() ||
                a[r][f].StrValue() != b[r][f].StrValue())
                return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kelvtest::MemoryFileSystem fs;
    fs.Put("export.txt", std::vector<uint8_t>(data, data + size));
    TUniverse universe(fs);
    for (size_t i = 0; i < TUniverse::kTableCount; ++i) {
        const TTableSpec& spec = TUniverse::Spec(i);
        TCustomTable& table = universe.Table(i);
        CreateFromSpec(table, spec, spec.TableFile);
        try {
            ImportFromSpec(table, spec, "export.txt");
        } catch (const EKelvError&) {
            // A bad line ends the import; the lines before it stay.
        }
        const auto inMemory = Rows(table);
        table.Close();
        TCustomTable reread(fs);
        if (reread.Open(spec.TableFile) != TOpenStatus::Opened || !Same(inMemory, Rows(reread))) std::abort();
    }
    return 0;
}
