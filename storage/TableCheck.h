#pragma once

// Checking and repairing table files that a crash (a kill, a power loss in
// the middle of a write) may have left with a partial record or field
// descriptor at their end. Repair only ever cuts such a tail: any other
// damage is reported and left as it is, byte for byte.

#include <cstdint>
#include <string>

#include "Fields.h"
#include "TableFileSeam.h"

// What the user can do about the file at path when its only damage is a
// partial tail: "run 'kelvmap-cli repair PATH' to recover its whole records".
std::string RepairHint(const std::string& path);

// What CheckTableFile found.
struct TTableCheck {
    // The file opens as a table.
    bool Sound = false;
    // The only damage is a partial record or descriptor at the end:
    // RepairTableFile recovers every whole record.
    bool Repairable = false;
    // What is wrong, in the words the engine's errors use, with details
    // ("Read beyond end of file: a partial record of 5 bytes at the end ...",
    // "not a table file: ...", "File not found"); "" when sound.
    std::string Problem;
    TFields Fields;             // the fields, for a sound or repairable file
    int32_t RecordCount = 0;    // its whole records
    int64_t PartialTail = 0;    // bytes of the partial record or descriptor at the end
};

// Reads the file at path (for reading only, taking no lock) and says whether
// it is a sound table file. Never raises for what it finds in or about the
// file: a file that cannot be opened or read is reported in Problem.
TTableCheck CheckTableFile(ITableFileSystem& fileSystem, const std::string& path);

// Repairs a file whose only damage is a partial record (or, before any
// record was stored, a partial field descriptor) at its end: keeps the file
// as it was in path + ".bak", cuts the partial tail off, flushes the file to
// the disk and returns the number of records kept. A sound file is left as it
// is (no copy is made) and its record count returned. Raises EKelvError
// naming the file, and changes nothing, for any other damage, for a file
// that cannot be opened or written ("the table file is read-only"), whose
// lock another process holds ("the table file is in use by another KelvMap
// process"), or when path + ".bak" exists already (it is never replaced).
int32_t RepairTableFile(ITableFileSystem& fileSystem, const std::string& path);

// For an import, which replaces every record anyway: cuts a partial record
// or descriptor off the end of the file at path, keeping no copy. Returns
// true when it cut one; false, changing nothing, for a sound file, a missing
// one or any other damage (which the import's Open then reports). Raises
// EKelvError naming the file when a damaged file cannot be changed (read-only,
// in use by another process) or the cut fails.
bool CutPartialTail(ITableFileSystem& fileSystem, const std::string& path);
