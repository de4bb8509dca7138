#pragma once

// How the bytes of a table file read by the rules of the format: where the
// catalogue and the records are, and what, if anything, keeps the file from
// opening. The engine's Open and the check and repair of damaged files share
// it, so that a damage is recognised and worded the same everywhere.

#include <cstdint>
#include <string>

#include "Fields.h"

enum class TTableDamage {
    None,               // a sound table file
    HeaderCut,          // shorter than its 32-byte header
    TooLarge,           // longer than the format's 2 GiB
    NotTableFile,       // no table magic, a DataStart or catalogue that does not fit, a field the format cannot hold
    PartialDescriptor,  // ends inside a field descriptor (no record was ever stored)
    PartialRecord,      // ends inside a record
};

struct TTableLayout {
    TTableDamage Damage = TTableDamage::None;
    // What is wrong, in words, beginning with the words Open reports it with
    // ("Read beyond end of file", "not a table file", the 2 GiB text); ""
    // for a sound file.
    std::string Problem;
    // The only damage is a partial descriptor or record at the end: cut back
    // to WholeSize bytes the file is sound.
    bool Repairable = false;
    TFields Fields;            // the whole descriptors (empty when the damage lies before them)
    int64_t DataStart = 0;
    int64_t RecordCount = 0;   // whole records
    int64_t WholeSize = 0;     // bytes up to the end of the last whole descriptor or record
    int64_t TailSize = 0;      // bytes of the partial descriptor or record after them
};

// Reads the layout of a file image of size bytes. Never raises; allocates
// nothing from a size the checks have not passed.
TTableLayout ReadTableLayout(const uint8_t* bytes, int64_t size);

// The words of the damages, the same in every command and window.
inline constexpr const char* kNotTableFileText = "not a table file";
inline constexpr const char* kTooLargeText = "the table file is larger than the table format's 2 GiB limit";
