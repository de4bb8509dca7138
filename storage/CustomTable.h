#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FieldValue.h"
#include "Fields.h"
#include "KelvErrors.h"
#include "TableFileSeam.h"
#include "TableFormat.h"

// Field type codes of the table file format.
inline constexpr uint8_t kFieldInteger = table_format::kFieldInteger;
inline constexpr uint8_t kFieldString = table_format::kFieldString;

// The outcome of TCustomTable::Open. Any positive value other than those
// named is the operating system's error number for the failed open (a
// missing file gives FileNotFound, the system's ENOENT).
enum class TOpenStatus : int32_t {
    Opened = 0,
    AlreadyOpen = -1,   // nothing was done
    FileNotFound = 2,
    NotTableFile = 3,   // the bytes are not a table file, or its catalogue cannot be read safely
};

// How Open takes a table file.
enum class TOpenMode {
    // For reading and changing: the file is opened for reading and writing
    // and the table takes the file's lock. A file that cannot be written, or
    // whose lock another process holds, is opened for reading instead (see
    // TReadOnlyReason).
    ReadWrite,
    // For reading only (dump, check, render): never takes or waits for a lock.
    ReadOnly,
};

// Why an open table cannot be changed.
enum class TReadOnlyReason {
    None,              // it can be changed (or the table is closed)
    FileReadOnly,      // the file cannot be opened for writing (permissions, a read-only medium)
    InUse,             // another KelvMap process holds the file's lock
    OpenedForReading,  // opened with TOpenMode::ReadOnly
};

// The words for an open status, the same in every command and window:
// "not a table file", "the table is already open", "File not found", or the
// operating system's text for another error number; "" for Opened.
std::string OpenStatusText(TOpenStatus status);

// The error that reports a failed open of the table file at path: the status's
// words, with path as the error's file.
EKelvError OpenStatusError(TOpenStatus status, const std::string& path);

// The words of a read-only reason: "the table file is read-only", "the table
// file is in use by another KelvMap process", "the table is open for reading
// only"; "" for None.
std::string ReadOnlyReasonText(TReadOnlyReason reason);

class TCustomTable;
// Opens the table on the file at path, raising where Open returns a status:
// OpenStatusError for a file that cannot be opened or is not a table file
// (an open table is left as it is), and whatever Open raises.
void RequireOpen(TCustomTable& table, const std::string& path, TOpenMode mode = TOpenMode::ReadWrite);

// The single-file table engine: header, field catalogue and fixed-size
// records, all held in memory while open and written through on every change.
//
// What every operation promises about the file (the manner of a storage
// environment's contract):
// - A change is written before memory changes. When a write, truncation,
//   flush or close fails, the operation raises EInOutError naming the file
//   (EKelvError::File) after it has put the file back in its last whole
//   state: a partly written new record or descriptor is cut off again, a
//   partly overwritten record or header gets its old bytes back. Memory then
//   holds exactly what the file holds. (Whole steps stay done: the header
//   that the first record of a table wrote stays written when the record's
//   own write fails; the catalogue is frozen from then on.) Only when that
//   repair itself fails can a file keep a partial record at its end; the
//   error then carries the hint to run 'kelvmap-cli repair'.
// - Nothing is flushed per change; Close and EndBulkAppend flush the file's
//   data to the disk (fsync).
// - A table opened for changing holds the file's advisory lock (flock) from
//   Open to Close, so that no two KelvMap processes change one table.
// - Every operation that would change a read-only table (ReadOnly()) raises
//   EInOutError before it changes anything: "the table file is read-only"
//   (EACCES), "the table file is in use by another KelvMap process"
//   (EWOULDBLOCK) or "the table is open for reading only" (EBADF), naming
//   the file.
// - Running out of memory raises EKelvError "not enough memory" naming the
//   file, before the file is changed.
// Field and record positions that do not exist raise EListError, values that
// do not convert EVariantError, a record to delete that does not exist
// ERangeError; these change nothing and name no file.
class TCustomTable {
public:
    static constexpr int32_t kStatusCatalogueFrozen = 2;
    static constexpr int32_t kStatusBadFieldDefinition = 4;

    // A closed table on the real file system, or on fileSystem (which must
    // outlive the table).
    TCustomTable();
    explicit TCustomTable(ITableFileSystem& fileSystem);
    TCustomTable(const TCustomTable&) = delete;
    TCustomTable& operator=(const TCustomTable&) = delete;
    // Close; never throws: a failure is reported on stderr and whatever is
    // still held is released without another attempt to store.
    virtual ~TCustomTable();

    // Opens the table file at path and reads it whole. Returns Opened (record
    // 0 is current, or a new record 0 in a table with fields and no records),
    // AlreadyOpen (nothing done), NotTableFile, or the system's error number
    // of a failed open (FileNotFound for a missing file); the table stays
    // closed on every status but Opened. Raises EInOutError naming the file
    // for a file that ends inside its header, a descriptor or a record ("Read
    // beyond end of file"; for a partial record or descriptor at the end,
    // whose repair would lose nothing else, with RepairHint as the error's
    // hint), for a file over 2 GiB (kTooLargeText), for a failed read or
    // lock; the table then stays closed and holds nothing.
    // ReadWrite opens a file that cannot be written, or whose lock another
    // process holds, for reading (ReadOnly() then says why). A table found in
    // use may be caught in the middle of the other process's write: a
    // partial record at its end is then left out instead of refused.
    TOpenStatus Open(const std::string& path, TOpenMode mode = TOpenMode::ReadWrite);

    // Makes path an empty table file: the 32-byte header, no fields. An
    // existing file is emptied. Returns 0, or -1 when this table is open
    // (nothing done). Raises EInOutError when the file cannot be made, or
    // "in use by another KelvMap process" when another process holds the
    // file's lock (checked before the file is touched). On any failure the
    // file is as before: a file this call made is removed again, an existing
    // one gets its old bytes back. The table stays closed; the header is
    // kept for DataStart().
    int32_t CreateTableFile(const std::string& path);

    // Adds a field to the catalogue and writes its descriptor. Returns 0,
    // kStatusCatalogueFrozen once the table has held a record, or
    // kStatusBadFieldDefinition for a type other than 0 and 1, an integer not
    // of size 4, a string not of size 1 to 255, or a catalogue that would pass
    // the format's limits. Raises "File not open" on a closed table, the
    // read-only error, or EInOutError when the write fails (the catalogue
    // then stays as it was, in memory and file). The record buffer follows
    // the new record size.
    int32_t AddField(const std::string& name, uint8_t fieldType, int32_t declaredSize);

    // Stores a pending record (Post, then EndBulkAppend), flushes the file to
    // the disk, closes it and releases the records and fields. A failing
    // Post or gathered write raises and leaves the table open (the caller may
    // DiscardPending and Close again). A failing flush or close raises after
    // the table has been closed. On a read-only table a pending change is
    // dropped, the table closed, and then the read-only error raised, so the
    // caller learns that the change was not stored. Closing a closed table
    // does nothing.
    void Close();

    // The number of stored records (0 on a closed table).
    int32_t RecordCount() const noexcept;
    // The bytes of one record: 1 + the sum of the fields' stored sizes.
    int32_t RecordSize() const noexcept;

    // Stores the pending record (Post), then makes record n current, or a new
    // record for n = -1 or n = RecordCount() (the buffer keeps the bytes it
    // had). Does nothing on a table without fields. Raises what Post raises
    // (the cursor then stays), or EListError(n) for any other n after the
    // pending record was stored: no record is current then.
    void GoToRecord(int32_t n);
    // GoToRecord(-1), then a zero buffer.
    void AppendRecord();
    // Sets a field of the current record in the buffer and marks it modified.
    // Raises EListError for a field that does not exist (-1 for a name no
    // field has) and for a cursor on no record (after DeleteRecord,
    // ClearTable, a failed GoToRecord: the caller moves first), EVariantError
    // for a value that does not convert; the buffer is then unchanged.
    void SetFieldValue(const FieldValue& field, const FieldValue& value);
    // The field's value in the buffer; the empty value on a new record.
    FieldValue GetFieldValue(const FieldValue& field) const;
    // Writes a modified buffer through: a new record is appended to the file
    // (the first record of a table also writes DataStart into the header),
    // a stored one overwritten; then memory takes it and the buffer is no
    // longer modified. Does nothing when nothing is modified. Raises the
    // read-only error, EInOutError EFBIG when the file would grow past the
    // format's 2 GiB, or EInOutError when the write fails: the record stays
    // pending (Modified() true) and file and memory hold what they held.
    void Post();
    // Starts a search: the first stored record from 0 on whose field equals
    // value (ValuesEqual), or -1. Raises EListError for a field that does not
    // exist, EVariantError for a comparison that fails (the search then stays
    // where it was). Neither the buffer nor an unposted record is searched.
    int32_t Locate(const FieldValue& field, const FieldValue& value);
    // Continues the search after the last match; -1 when there is none (a
    // later FindNext looks again from the same place).
    int32_t FindNext();
    // Stores the pending record, then deletes stored record n: the last record
    // moves into its place and the file is cut by one record. Raises
    // ERangeError "Неправильный индекс!" for an n that does not exist, the
    // read-only error, or EInOutError when the move or the truncation fails:
    // the file and memory then hold the records as before the deletion.
    // Afterwards CurrentIndex() is n and no record is current (the buffer
    // still reads as the deleted record).
    void DeleteRecord(int32_t n);
    // Stores the pending record, then removes every record with one
    // truncation; DataStart keeps its value. Leaves the buffer as deleting
    // record 0 over and over would (for records P, Q, S: Q) and no record
    // current. Raises the read-only error (even for an empty table), or
    // EInOutError when the truncation fails: every record is then kept.
    void ClearTable();
    // The number of the field a name (the last of that name) or number
    // selects, -1 for a name no field has or the empty value; unchecked for
    // a number.
    int32_t FieldIndex(const FieldValue& field) const;

    // Drops the buffer's pending changes without storing them (used after a
    // failed import so that no later Post, Close or destructor stores a
    // half-filled record).
    void DiscardPending() noexcept;

    // Gathers the records that Post appends into larger writes (for imports,
    // whose cost is otherwise one file write per record). Until EndBulkAppend
    // the file may lag behind memory by records appended since; every other
    // operation that writes the file (Post of a stored record, DeleteRecord,
    // ClearTable, Close) writes them out first. EndBulkAppend writes what is
    // left, flushes the file to the disk and ends the mode. When a gathered
    // write fails, the records it held are dropped from memory as well and
    // the file is cut back to the records written before, so memory and file
    // agree; EInOutError is raised.
    void BeginBulkAppend() noexcept;
    void EndBulkAppend();

    // Read-only state, for callers and tests; none of these raises.
    bool Opened() const noexcept { return opened_; }
    // The open table cannot be changed; ReadOnlyReason() says why.
    bool ReadOnly() const noexcept { return readOnly_ != TReadOnlyReason::None; }
    TReadOnlyReason ReadOnlyReason() const noexcept { return readOnly_; }
    bool IsNew() const noexcept { return isNew_; }
    bool Modified() const noexcept { return modified_; }
    int32_t CurrentIndex() const noexcept { return currentIndex_; }
    int32_t CurrentPos() const noexcept { return currentPos_; }
    int32_t DataStart() const noexcept;
    const std::string& FileName() const noexcept { return fileName_; }
    const TFields& Fields() const noexcept { return fields_; }
    // The file system the table reads and writes through.
    ITableFileSystem& FileSystem() const noexcept { return *fs_; }

private:
    // Implementation details live here; see CustomTable.cpp.
    struct Impl;
    ITableFileSystem* fs_;
    std::unique_ptr<ITableFile> file_;
    bool opened_ = false;
    TReadOnlyReason readOnly_ = TReadOnlyReason::None;
    bool unsynced_ = false;         // written since the last flush
    uint8_t header_[table_format::kHeaderSize] = {};
    std::string fileName_;
    TFields fields_;
    int32_t currentPos_ = 0;
    std::vector<uint8_t> buffer_;   // empty until first needed
    int32_t currentIndex_ = 0;
    bool isNew_ = false;
    bool modified_ = false;
    bool recordGone_ = false;       // the current record was deleted or cleared
    FieldValue searchField_;
    FieldValue searchValue_;
    int32_t searchNext_ = 0;
    std::vector<uint8_t> records_;  // all stored records, contiguous
    int32_t recordCount_ = 0;
    bool bulkAppend_ = false;
    int32_t writtenCount_ = 0;      // records already in the file, while bulkAppend_
};
