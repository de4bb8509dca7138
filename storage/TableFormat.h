#pragma once

// The bytes of a table file. A file holds, in this order: a 32-byte header,
// one 48-byte descriptor per field (the catalogue), and the records, all of
// one size, one after another. There is no index, free list or trailer: the
// file's length alone gives the number of records. All multi-byte integers
// are 32-bit two's complement, little-endian (see Coding.h).

#include <cstddef>
#include <cstdint>
#include <limits>

namespace table_format {

// --- Header (32 bytes at offset 0) ------------------------------------------
inline constexpr int64_t kHeaderSize = 32;
// The length-prefixed text ".abyz." that makes a file a table file.
inline constexpr uint8_t kMagic[7] = {0x06, 0x2E, 0x61, 0x62, 0x79, 0x7A, 0x2E};
inline constexpr size_t kMagicSize = sizeof kMagic;
// Offset of DataStart: 0 while no record has ever been stored, from then on
// the offset of record 0 (kHeaderSize + kDescriptorSize * fields). Once set it
// is never cleared, which is what freezes the catalogue.
inline constexpr size_t kDataStartOffset = 8;
// Bytes 7 and 12..31 are reserved: written as zero, never examined.

// --- Field descriptor (48 bytes each, from offset kHeaderSize) ---------------
inline constexpr int64_t kDescriptorSize = 48;
inline constexpr size_t kNameLengthOffset = 0;   // length byte, then the name
inline constexpr size_t kMaxNameLength = 31;     // the bytes before the type
inline constexpr size_t kTypeOffset = 32;        // 33..35 reserved
inline constexpr size_t kSizeOffset = 36;        // stored size in bytes
inline constexpr size_t kReservedWordOffset = 40;  // written as 0
inline constexpr size_t kFieldOffsetOffset = 44;   // position inside a record

// --- Field types ---------------------------------------------------------------
inline constexpr uint8_t kFieldInteger = 0;   // 4 bytes, little-endian
inline constexpr uint8_t kFieldString = 1;    // length byte + declared size bytes
inline constexpr int32_t kIntegerSize = 4;
// A string field's length byte counts at most 255 characters.
inline constexpr int32_t kMaxStringCapacity = 255;

// --- Records -----------------------------------------------------------------
// Every record starts with one reserved byte (0 in records the program makes,
// kept as found otherwise); field 0 starts right after it.
inline constexpr int32_t kRecordLeadSize = 1;

// File positions are signed 32-bit numbers in the format, so no table file
// can be larger than this.
inline constexpr int64_t kMaxFileSize = std::numeric_limits<int32_t>::max();

// Offset of record 0 for a catalogue of `fields` descriptors.
constexpr int64_t RecordAreaStart(int64_t fields) noexcept { return kHeaderSize + kDescriptorSize * fields; }

}  // namespace table_format
