// fuzz_table_open: the input bytes are a table file. Check it and open it
// through the test support's in-memory file system: the check must agree
// with Open (sound exactly when it opens, repairable exactly when Open's
// error points to repair, and then the cut file opens with the whole
// records). Then read every field of every record, search, change, delete
// and clear, so that the write paths run on whatever catalogue the reader
// accepted. Any crash, sanitizer report or disagreement is a finding; the
// engine's own errors (EKelvError) are expected answers to bad input.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "CustomTable.h"
#include "KelvErrors.h"
#include "MemoryFileSystem.h"
#include "TableCheck.h"
#include "TableFileSeam.h"

namespace {

volatile size_t gSink;

void Consume(const FieldValue& v) { gSink = gSink + static_cast<size_t>(v.IntValue()) + v.StrValue().size(); }

void Exercise(TCustomTable& t) {
    const int32_t fields = t.Fields().Count();
    for (int32_t r = 0; r < t.RecordCount(); ++r) {
        t.GoToRecord(r);
        for (int32_t f = 0; f < fields; ++f) Consume(t.GetFieldValue(f));
    }
    if (fields == 0) return;
    // Search every field with a value of each kind; text searches may raise.
    for (int32_t f = 0; f < fields; ++f) {
        for (const FieldValue& v : {FieldValue(0), FieldValue(""), FieldValue("7")}) {
            try {
                for (int32_t n = t.Locate(f, v); n != -1; n = t.FindNext()) gSink = gSink + static_cast<size_t>(n);
            } catch (const EVariantError&) {
            }
        }
    }
    // Rewrite, append, delete and clear on the accepted catalogue.
    if (t.RecordCount() > 0) {
        t.GoToRecord(0);
        for (int32_t f = 0; f < fields; ++f) t.SetFieldValue(f, t.Fields()[f].FieldType == kFieldInteger ? FieldValue(-1) : FieldValue(std::string(300, 'x')));
        t.Post();
    }
    t.AppendRecord();
    t.SetFieldValue(fields - 1, 42);
    t.Post();
    t.GoToRecord(t.RecordCount() - 1);
    for (int32_t f = 0; f < fields; ++f) Consume(t.GetFieldValue(f));
    t.DeleteRecord(0);
    t.ClearTable();
    t.AppendRecord();
    t.SetFieldValue(0, "1");
    t.Close();
}

void Require(bool condition) {
    if (!condition) std::abort();
}

void CheckAgreesWithOpen(kelvtest::MemoryFileSystem& fs) {
    const TTableCheck check = CheckTableFile(fs, "fuzz.dat");
    bool opened = false;
    bool pointsToRepair = false;
    {
        TCustomTable t(fs);
        try {
            opened = t.Open("fuzz.dat") == TOpenStatus::Opened;
        } catch (const EKelvError& e) {
            pointsToRepair = !e.Hint().empty();
        }
        Require(opened == check.Sound);
        Require(pointsToRepair == check.Repairable);
        Require(!opened || (t.RecordCount() == check.RecordCount && t.Fields().Count() == check.Fields.Count()));
    }
    if (!check.Repairable) return;
    Require(CutPartialTail(fs, "fuzz.dat"));
    TCustomTable repaired(fs);
    Require(repaired.Open("fuzz.dat") == TOpenStatus::Opened);
    Require(repaired.RecordCount() == check.RecordCount && repaired.Fields().Count() == check.Fields.Count());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kelvtest::MemoryFileSystem fs;
    fs.Put("fuzz.dat", std::vector<uint8_t>(data, data + size));
    CheckAgreesWithOpen(fs);
    fs.Put("fuzz.dat", std::vector<uint8_t>(data, data + size));
    TCustomTable table(fs);
    try {
        if (table.Open("fuzz.dat") != TOpenStatus::Opened) return 0;
        Exercise(table);
    } catch (const EKelvError&) {
        // An error the engine raises on purpose (a damaged file, a value
        // that does not convert): an answer, not a finding.
        table.DiscardPending();
    }
    return 0;
}
