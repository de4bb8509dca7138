#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FieldValue.h"
#include "KelvErrors.h"
#include "TableFileSeam.h"
#include "TableFormat.h"

// Field type codes of the table file format.
inline constexpr uint8_t kFieldInteger = table_format::kFieldInteger;
inline constexpr uint8_t kFieldString = table_format::kFieldString;

// One 48-byte field descriptor of the catalogue, decoded.
struct FieldDescriptor {
    std::string FieldName;   // at most 31 bytes
    uint8_t FieldType = 0;
    int32_t FieldSize = 0;   // stored size in bytes
    int32_t FieldOffset = 0; // position inside a record
};

// The field catalogue, in field order.
class TFields {
public:
    // Appends a descriptor: name cut to 31 bytes, FieldOffset = RecordSize() before the addition.
    void AddDescriptor(const std::string& name, uint8_t fieldType, int32_t storedSize);
    // 1 + the sum of all FieldSize values.
    int32_t RecordSize() const noexcept;
    int32_t Count() const noexcept { return static_cast<int32_t>(items_.size()); }
    const FieldDescriptor& operator[](int32_t i) const { return items_[static_cast<size_t>(i)]; }
    void Clear() noexcept {
        items_.clear();
        sizeSum_ = 0;
    }
    void Append(FieldDescriptor d) {
        sizeSum_ += d.FieldSize;
        items_.push_back(std::move(d));
    }

private:
    std::vector<FieldDescriptor> items_;
    int64_t sizeSum_ = 0;  // kept so that RecordSize() is O(1) on hot paths
};

// The outcome of TCustomTable::Open. Any positive value other than those
// named is the operating system's error number for the failed open (a
// missing file gives FileNotFound, the system's ENOENT).
enum class TOpenStatus : int32_t {
    Opened = 0,
    AlreadyOpen = -1,   // nothing was done
    FileNotFound = 2,
    NotTableFile = 3,   // the bytes are not a table file, or its catalogue cannot be read safely
};

// The words for an open status, the same in every command and window:
// "not a table file", "the table is already open", "File not found", or the
// operating system's text for another error number; "" for Opened.
std::string OpenStatusText(TOpenStatus status);

// The error that reports a failed open of the table file at path: the status's
// words, with path as the error's file.
EKelvError OpenStatusError(TOpenStatus status, const std::string& path);

class TCustomTable;
// Opens the table on the file at path, raising where Open returns a status:
// OpenStatusError for a file that cannot be opened or is not a table file
// (an open table is left as it is), EInOutError naming the file for a file
// that cannot be read whole.
void RequireOpen(TCustomTable& table, const std::string& path);

// The single-file table engine: header, field catalogue and fixed-size records,
// all held in memory while open and written through on every change.
//
// Status results: Open a TOpenStatus; CreateTableFile 0 / -1 open; AddField 0 / 2 catalogue frozen / 4 field type or size
// the format cannot store.
// Other failures raise EInOutError, EListError, EVariantError or ERangeError.
class TCustomTable {
public:
    static constexpr int32_t kStatusCatalogueFrozen = 2;
    static constexpr int32_t kStatusBadFieldDefinition = 4;

    TCustomTable();
    explicit TCustomTable(ITableFileSystem& fileSystem);
    TCustomTable(const TCustomTable&) = delete;
    TCustomTable& operator=(const TCustomTable&) = delete;
    // Stores a pending record and closes; never throws (a failure is reported on stderr).
    virtual ~TCustomTable();

    TOpenStatus Open(const std::string& path);
    int32_t CreateTableFile(const std::string& path);
    int32_t AddField(const std::string& name, uint8_t fieldType, int32_t declaredSize);
    void Close();

    int32_t RecordCount() const noexcept;
    int32_t RecordSize() const noexcept;
    void GoToRecord(int32_t n);
    void AppendRecord();
    void SetFieldValue(const FieldValue& field, const FieldValue& value);
    FieldValue GetFieldValue(const FieldValue& field) const;
    void Post();
    int32_t Locate(const FieldValue& field, const FieldValue& value);
    int32_t FindNext();
    void DeleteRecord(int32_t n);
    void ClearTable();
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
    // left and ends the mode. When a gathered write fails, the records it held
    // are dropped from memory as well and the file is cut back to the records
    // written before, so memory and file agree; EInOutError is raised.
    void BeginBulkAppend() noexcept;
    void EndBulkAppend();

    // Read-only state, for callers and tests.
    bool Opened() const noexcept { return opened_; }
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
    uint8_t header_[table_format::kHeaderSize] = {};
    std::string fileName_;
    TFields fields_;
    int32_t currentPos_ = 0;
    std::vector<uint8_t> buffer_;   // empty until first needed
    int32_t currentIndex_ = 0;
    bool isNew_ = false;
    bool modified_ = false;
    FieldValue searchField_;
    FieldValue searchValue_;
    int32_t searchNext_ = 0;
    std::vector<uint8_t> records_;  // all stored records, contiguous
    int32_t recordCount_ = 0;
    bool bulkAppend_ = false;
    int32_t writtenCount_ = 0;      // records already in the file, while bulkAppend_
};
