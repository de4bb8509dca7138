// fuzz_import: the input bytes are a text export. Each of the five universe
// tables imports them (through the test support's in-memory file system);
// then the table in memory must equal the table file read back by a fresh
// table. Any crash, sanitizer report or difference is a finding; the
// import's own errors (EKelvError: a bad integer column, an empty line) are
// expected answers to bad input.
#include <cstdint>
#include <cstdlib>

#include "CustomTable.h"
#include "KelvErrors.h"
#include "MemoryFileSystem.h"
#include "TableSnapshot.h"
#include "Universe.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kelvtest::MemoryFileSystem fs;
    fs.Put("export.txt", std::vector<uint8_t>(data, data + size));
    TUniverse universe(fs);
    for (size_t i = 0; i < TUniverse::kTableCount; ++i) {
        const TTableSchema& schema = TUniverse::Schema(i);
        TCustomTable& table = universe.Table(i);
        CreateFromSchema(table, schema, schema.TableFile);
        try {
            ImportFromSchema(table, schema, "export.txt");
        } catch (const EKelvError&) {
            // A bad line ends the import; the lines before it stay.
        }
        const auto inMemory = kelvtest::TableRows(table);
        table.Close();
        TCustomTable reread(fs);
        if (reread.Open(schema.TableFile) != TOpenStatus::Opened || !kelvtest::SameRows(inMemory, kelvtest::TableRows(reread)))
            std::abort();
    }
    return 0;
}
