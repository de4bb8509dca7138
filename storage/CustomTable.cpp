#include "CustomTable.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#include "Coding.h"
#include "KelvErrors.h"
#include "TableCheck.h"
#include "TableFormat.h"
#include "TableLayout.h"

namespace {

using coding::GetLE32;
using coding::PutLE32;
using table_format::kDescriptorSize;
using table_format::kHeaderSize;
using table_format::kMagic;
using table_format::kMaxFileSize;
using table_format::kMaxNameLength;
using table_format::kMaxStringCapacity;

constexpr int kReadBeyondEnd = 100;
constexpr int kFileNotOpen = 103;
constexpr size_t kBulkAppendBytes = size_t{1} << 18;  // gathered appends per write
constexpr const char* kWouldPassLimitText = "the table file would grow beyond the table format's 2 GiB limit";

void EncodeDescriptor(const FieldDescriptor& d, uint8_t* out) noexcept {
    std::memset(out, 0, kDescriptorSize);
    const size_t len = std::min(d.FieldName.size(), kMaxNameLength);
    using namespace table_format;
    out[kNameLengthOffset] = static_cast<uint8_t>(len);
    std::memcpy(out + kNameLengthOffset + 1, d.FieldName.data(), len);
    out[kTypeOffset] = d.FieldType;
    PutLE32(out + kSizeOffset, d.FieldSize);
    PutLE32(out + kReservedWordOffset, 0);
    PutLE32(out + kFieldOffsetOffset, d.FieldOffset);
}

// The text of a string field as stored: min(L, capacity) bytes.
std::string_view StoredText(const uint8_t* field, int32_t fieldSize) noexcept {
    const int32_t capacity = fieldSize - 1;
    const int32_t len = std::min<int32_t>(field[0], capacity);
    return std::string_view(reinterpret_cast<const char*>(field + 1), static_cast<size_t>(std::max(len, 0)));
}

std::string_view UpToZero(std::string_view text) noexcept {
    const size_t zero = text.find('\0');
    return zero == std::string_view::npos ? text : text.substr(0, zero);
}

[[noreturn]] void RaiseNoMemory(const std::string& path) {
    throw EKelvError(kNotEnoughMemoryText, path);
}

}  // namespace

// ---------------------------------------------------------------------------
// TFields

void TFields::AddDescriptor(const std::string& name, uint8_t fieldType, int32_t storedSize) {
    FieldDescriptor d;
    d.FieldName = name.substr(0, kMaxNameLength);
    d.FieldType = fieldType;
    d.FieldSize = storedSize;
    d.FieldOffset = RecordSize();
    Append(std::move(d));
}

int32_t TFields::RecordSize() const noexcept {
    const int64_t size = table_format::kRecordLeadSize + sizeSum_;
    return static_cast<int32_t>(std::clamp<int64_t>(size, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// ---------------------------------------------------------------------------
// TCustomTable internals

struct TCustomTable::Impl {
    static int64_t RecordOffset(const TCustomTable& t, int64_t n) noexcept {
        return table_format::RecordAreaStart(t.fields_.Count()) + n * int64_t{t.fields_.RecordSize()};
    }

    static size_t RecordBytes(const TCustomTable& t) noexcept { return static_cast<size_t>(t.fields_.RecordSize()); }

    static ITableFile& File(const TCustomTable& t) {
        if (!t.file_) throw EInOutError(kFileNotOpen, EInOutError::TextFor(kFileNotOpen));
        return *t.file_;
    }

    static const FieldDescriptor& Descriptor(const TCustomTable& t, int32_t i) {
        if (i < 0 || i >= t.fields_.Count()) throw EListError(i);
        return t.fields_[i];
    }

    static const uint8_t* StoredRecord(const TCustomTable& t, int32_t i) noexcept {
        return t.records_.data() + static_cast<size_t>(i) * RecordBytes(t);
    }
    static uint8_t* StoredRecord(TCustomTable& t, int32_t i) noexcept {
        return t.records_.data() + static_cast<size_t>(i) * RecordBytes(t);
    }

    // --- Read-only tables -------------------------------------------------

    static EInOutError ReadOnlyError(TReadOnlyReason reason, const std::string& path) {
        int code = EBADF;  // a file opened for reading refuses writes with EBADF
        if (reason == TReadOnlyReason::FileReadOnly) code = EACCES;
        if (reason == TReadOnlyReason::InUse) code = EWOULDBLOCK;
        return EInOutError(code, ReadOnlyReasonText(reason), path);
    }

    static void RequireWritable(const TCustomTable& t) {
        if (t.readOnly_ != TReadOnlyReason::None) throw ReadOnlyError(t.readOnly_, t.fileName_);
    }

    // --- Writes that undo themselves ----------------------------------------

    // Writes bytes that extend the file at its end (offset). Should the write
    // fail, part of them may have reached the file: it is cut back to offset
    // before the error goes on, so that no partial record or descriptor stays.
    static void WriteNew(TCustomTable& t, int64_t offset, const void* data, size_t size) {
        ITableFile& file = File(t);
        t.unsynced_ = true;
        try {
            file.WriteAt(offset, data, size);
        } catch (EKelvError& e) {
            if (!CutBack(file, offset)) e.SetHint(RepairHint(t.fileName_));
            e.SetContext(t.fileName_);
            throw;
        } catch (...) {
            CutBack(file, offset);
            throw;
        }
    }

    static bool CutBack(ITableFile& file, int64_t length) noexcept {
        try {
            file.Truncate(length);
            return true;
        } catch (...) {
            return false;  // the write's own error is the one to report
        }
    }

    // Overwrites bytes of the file whose present content is `old`; a failed
    // write puts the old bytes back before the error goes on.
    static void WriteOver(TCustomTable& t, int64_t offset, const void* data, const void* old, size_t size) {
        ITableFile& file = File(t);
        t.unsynced_ = true;
        try {
            file.WriteAt(offset, data, size);
        } catch (EKelvError& e) {
            PutBack(file, offset, old, size);
            e.SetContext(t.fileName_);
            throw;
        } catch (...) {
            PutBack(file, offset, old, size);
            throw;
        }
    }

    static bool PutBack(ITableFile& file, int64_t offset, const void* old, size_t size) noexcept {
        try {
            file.WriteAt(offset, old, size);
            return true;
        } catch (...) {
            return false;
        }
    }

    // Room for one more record in memory, taken before the file is written so
    // that running out of memory never leaves file and memory apart.
    static void ReserveRecord(TCustomTable& t) {
        const size_t size = RecordBytes(t);
        if (t.records_.capacity() - t.records_.size() >= size) return;
        try {
            t.records_.reserve(std::max(t.records_.capacity() * 2, t.records_.size() + size));
        } catch (const std::bad_alloc&) {
            RaiseNoMemory(t.fileName_);
        } catch (const std::length_error&) {
            RaiseNoMemory(t.fileName_);
        }
    }

    // --- Gathered appends -------------------------------------------------

    // Writes the records appended since the last gathered write, in one
    // write. Should that fail, they are written again one by one, so that the
    // file keeps every record that fits (as one write per record would have);
    // the first that fails is dropped from memory with all after it, the file
    // is cut back to the records it holds, and the error is raised.
    static void WriteGatheredAppends(TCustomTable& t) {
        if (!t.bulkAppend_ || t.writtenCount_ >= t.recordCount_) return;
        const size_t size = RecordBytes(t);
        ITableFile& file = File(t);
        t.unsynced_ = true;
        try {
            file.WriteAt(RecordOffset(t, t.writtenCount_), StoredRecord(t, t.writtenCount_),
                         static_cast<size_t>(t.recordCount_ - t.writtenCount_) * size);
            t.writtenCount_ = t.recordCount_;
            return;
        } catch (const EKelvError&) {
            // Retried record by record below.
        }
        for (int32_t i = t.writtenCount_; i < t.recordCount_; ++i) {
            try {
                file.WriteAt(RecordOffset(t, i), StoredRecord(t, i), size);
            } catch (EKelvError& e) {
                if (!DropUnwritten(t, i)) e.SetHint(RepairHint(t.fileName_));
                e.SetContext(t.fileName_);
                throw;
            }
            t.writtenCount_ = i + 1;
        }
    }

    // Forgets the records from `from` on, in the file and in memory. False
    // when the file could not be cut back.
    static bool DropUnwritten(TCustomTable& t, int32_t from) noexcept {
        const bool cut = CutBack(*t.file_, RecordOffset(t, from));  // a partly written tail
        t.records_.resize(static_cast<size_t>(from) * RecordBytes(t));
        t.recordCount_ = from;
        t.writtenCount_ = from;
        if (t.currentIndex_ >= from) {
            t.currentIndex_ = from;
            t.currentPos_ = static_cast<int32_t>(RecordOffset(t, from));
            t.isNew_ = true;
            t.modified_ = false;
            t.recordGone_ = false;
            std::fill(t.buffer_.begin(), t.buffer_.end(), uint8_t{0});
        }
        return cut;
    }

    // Flushes what was written since the last flush to the disk.
    static void Flush(TCustomTable& t) {
        if (!t.unsynced_ || !t.file_) return;
        try {
            t.file_->Sync();
        } catch (EKelvError& e) {
            e.SetContext(t.fileName_);
            throw;
        }
        t.unsynced_ = false;
    }

    // --- Post -------------------------------------------------------------

    // The first record freezes the catalogue: DataStart goes into the header
    // before the record is written. Memory follows the file: only a header
    // that was written is kept.
    static void WriteDataStart(TCustomTable& t) {
        uint8_t header[kHeaderSize];
        std::memcpy(header, t.header_, sizeof header);
        PutLE32(header + table_format::kDataStartOffset, t.currentPos_);
        WriteOver(t, 0, header, t.header_, sizeof header);
        std::memcpy(t.header_, header, sizeof header);
    }

    static void StoreNewRecord(TCustomTable& t) {
        const size_t size = RecordBytes(t);
        if (int64_t{t.currentPos_} + static_cast<int64_t>(size) > kMaxFileSize) {
            throw EInOutError(EFBIG, kWouldPassLimitText, t.fileName_);
        }
        ReserveRecord(t);
        if (!t.bulkAppend_) WriteNew(t, t.currentPos_, t.buffer_.data(), size);
        t.records_.insert(t.records_.end(), t.buffer_.begin(), t.buffer_.end());  // reserved: cannot fail
        ++t.recordCount_;
        std::fill(t.buffer_.begin(), t.buffer_.end(), uint8_t{0});
        t.isNew_ = false;
        t.modified_ = false;
        if (t.bulkAppend_ && static_cast<size_t>(t.recordCount_ - t.writtenCount_) * size >= kBulkAppendBytes) {
            WriteGatheredAppends(t);
        }
    }

    static void StoreChangedRecord(TCustomTable& t) {
        WriteGatheredAppends(t);
        const size_t size = RecordBytes(t);
        uint8_t* stored = StoredRecord(t, t.currentIndex_);
        WriteOver(t, t.currentPos_, t.buffer_.data(), stored, size);
        std::memcpy(stored, t.buffer_.data(), size);
        t.modified_ = false;
    }

    // --- Delete -----------------------------------------------------------

    // Cuts the last record off the file after it was moved over record n. A
    // failed cut gives record n its own bytes back, so that the file holds
    // the records as before the deletion; should even that fail, memory takes
    // the moved record too, so that it still equals the file.
    static void CutLastRecord(TCustomTable& t, int32_t n, int32_t last) {
        ITableFile& file = File(t);
        const size_t size = RecordBytes(t);
        try {
            file.Truncate(RecordOffset(t, last));
        } catch (EKelvError& e) {
            e.SetContext(t.fileName_);
            if (n != last && !PutBack(file, RecordOffset(t, n), StoredRecord(t, n), size)) {
                std::memcpy(StoredRecord(t, n), StoredRecord(t, last), size);
            }
            throw;
        }
    }

    // --- Open -------------------------------------------------------------

    // Opens the file as the mode asks, falling back to reading when it cannot
    // be written or another process holds its lock. Returns the system's error
    // number of a failed open, else 0.
    static int OpenFile(ITableFileSystem& fs, const std::string& path, TOpenMode mode,
                        std::unique_ptr<ITableFile>& file, TReadOnlyReason& reason) {
        if (mode == TOpenMode::ReadOnly) {
            reason = TReadOnlyReason::OpenedForReading;
            return fs.OpenExisting(path, TFileAccess::ReadOnly, file);
        }
        const int rc = fs.OpenExisting(path, TFileAccess::ReadWrite, file);
        if (rc == EACCES || rc == EROFS || rc == EPERM) {
            reason = TReadOnlyReason::FileReadOnly;
            return fs.OpenExisting(path, TFileAccess::ReadOnly, file);
        }
        if (rc != 0 || !file) return rc;
        try {
            if (!file->TryLock()) reason = TReadOnlyReason::InUse;
        } catch (EKelvError& e) {
            e.SetContext(path);
            throw;
        }
        return 0;
    }

    static std::vector<uint8_t> ReadImage(ITableFile& file, const std::string& path) {
        try {
            return file.ReadAll();
        } catch (EInOutError& e) {
            if (e.Code() == EFBIG) throw EInOutError(EFBIG, kTooLargeText, path);
            e.SetContext(path);
            throw;
        } catch (EKelvError& e) {
            e.SetContext(path);
            throw;
        } catch (const std::bad_alloc&) {
            RaiseNoMemory(path);
        }
    }

    // Raises for a layout that does not open; not a table file is a status
    // the caller returns before.
    static void RefuseDamage(const TTableLayout& layout, TReadOnlyReason reason, const std::string& path) {
        switch (layout.Damage) {
        case TTableDamage::None:
        case TTableDamage::NotTableFile:
            return;
        case TTableDamage::TooLarge:
            throw EInOutError(EFBIG, kTooLargeText, path);
        case TTableDamage::PartialDescriptor:
        case TTableDamage::PartialRecord:
            // Another process is writing: its record is not whole yet.
            if (reason == TReadOnlyReason::InUse && layout.Repairable) return;
            break;
        case TTableDamage::HeaderCut:
            break;
        }
        EInOutError error = EInOutError(kReadBeyondEnd, EInOutError::TextFor(kReadBeyondEnd), path);
        if (layout.Repairable) error.SetHint(RepairHint(path));
        throw error;
    }

    // Takes the file image as the table's state: header, catalogue and the
    // whole records (the image itself becomes the record list, moved down over
    // header and catalogue instead of copied).
    static void Install(TCustomTable& t, std::vector<uint8_t>&& bytes, TTableLayout&& layout,
                        std::unique_ptr<ITableFile> file, TReadOnlyReason reason) {
        std::memcpy(t.header_, bytes.data(), kHeaderSize);
        t.fields_ = std::move(layout.Fields);
        if (layout.RecordCount > 0) {
            bytes.resize(static_cast<size_t>(layout.WholeSize));
            bytes.erase(bytes.begin(), bytes.begin() + layout.DataStart);
            t.records_ = std::move(bytes);
        } else {
            t.records_.clear();
        }
        t.recordCount_ = static_cast<int32_t>(layout.RecordCount);
        t.file_ = std::move(file);
        t.readOnly_ = reason;
        t.unsynced_ = false;
        t.modified_ = false;
        t.recordGone_ = false;
        if (t.DataStart() == 0) {
            t.isNew_ = true;
            t.currentIndex_ = 0;
            t.currentPos_ = static_cast<int32_t>(RecordOffset(t, 0));
        }
    }

    // --- Create -----------------------------------------------------------

    // Gives a file that CreateTableFile changed its state before: a file it
    // made is removed, an existing one gets its old bytes back. Best effort:
    // the error that led here is the one reported.
    static void UndoCreate(ITableFileSystem& fs, const std::string& path, ITableFile* file, bool created,
                           const std::vector<uint8_t>& before) noexcept {
        try {
            if (created) {
                fs.Remove(path);
                return;
            }
            std::unique_ptr<ITableFile> reopened;
            if (file == nullptr && fs.OpenExisting(path, TFileAccess::ReadWrite, reopened) == 0) file = reopened.get();
            if (file == nullptr) return;
            file->Truncate(0);
            if (!before.empty()) file->WriteAt(0, before.data(), before.size());
            file->Sync();
        } catch (...) {
        }
    }

    // --- Close ------------------------------------------------------------

    // Releases records, fields and the file; a flush or close that fails
    // raises after everything is released.
    static void Release(TCustomTable& t) {
        std::unique_ptr<ITableFile> file = std::move(t.file_);
        const bool flush = t.unsynced_ && t.readOnly_ == TReadOnlyReason::None;
        t.records_.clear();
        t.records_.shrink_to_fit();
        t.recordCount_ = 0;
        t.writtenCount_ = 0;
        t.bulkAppend_ = false;
        t.fields_.Clear();
        t.opened_ = false;
        t.readOnly_ = TReadOnlyReason::None;
        t.unsynced_ = false;
        if (!file) return;
        try {
            if (flush) file->Sync();
            file->Close();
        } catch (EKelvError& e) {
            e.SetContext(t.fileName_);
            throw;
        }
    }

    // --- Fields -----------------------------------------------------------

    // Whether the cursor is on something fields may be set on: a new record,
    // or a stored record that still exists.
    static bool HasCurrentRecord(const TCustomTable& t) noexcept {
        if (t.fields_.Count() == 0 || t.buffer_.size() != RecordBytes(t)) return false;
        return t.isNew_ || (!t.recordGone_ && t.currentIndex_ >= 0 && t.currentIndex_ < t.recordCount_);
    }

    // The buffer follows the catalogue in force: a resize keeps the bytes it
    // has and zero-fills any new tail.
    static void FitBuffer(TCustomTable& t) {
        const size_t size = RecordBytes(t);
        if (t.buffer_.size() != size) t.buffer_.resize(size, 0);
    }

    static void StoreValue(uint8_t* field, const FieldDescriptor& d, const FieldValue& value) {
        if (d.FieldType == kFieldInteger) {
            PutLE32(field, value.AsInteger());  // raises before anything is written
            return;
        }
        const std::string text = value.AsString();
        const auto capacity = static_cast<size_t>(std::clamp(d.FieldSize - 1, 0, kMaxStringCapacity));
        const size_t len = std::min(text.size(), capacity);
        field[0] = static_cast<uint8_t>(len);
        std::memcpy(field + 1, text.data(), len);
    }

    static FieldValue ReadValue(const uint8_t* field, const FieldDescriptor& d) {
        if (d.FieldType == kFieldInteger) return FieldValue(GetLE32(field));
        return FieldValue(std::string(StoredText(field, d.FieldSize)));
    }
};

// ---------------------------------------------------------------------------
// TCustomTable

TCustomTable::TCustomTable() : TCustomTable(DefaultTableFileSystem()) {}

TCustomTable::TCustomTable(ITableFileSystem& fileSystem) : fs_(&fileSystem) {}

TCustomTable::~TCustomTable() {
    try {
        Close();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "KelvMap: could not close table '%s' cleanly: %s\n", fileName_.c_str(), e.what());
    } catch (...) {
        std::fprintf(stderr, "KelvMap: could not close table '%s' cleanly\n", fileName_.c_str());
    }
    // Close stops at a failed Post; whatever it left is released here without
    // another attempt to store.
    file_.reset();
}

std::string OpenStatusText(TOpenStatus status) {
    switch (status) {
        case TOpenStatus::Opened: return {};
        case TOpenStatus::AlreadyOpen: return "the table is already open";
        case TOpenStatus::NotTableFile: return kNotTableFileText;
        default: return EInOutError::TextFor(static_cast<int>(status));
    }
}

EKelvError OpenStatusError(TOpenStatus status, const std::string& path) {
    return EKelvError(OpenStatusText(status), path);
}

std::string ReadOnlyReasonText(TReadOnlyReason reason) {
    switch (reason) {
        case TReadOnlyReason::None: break;
        case TReadOnlyReason::FileReadOnly: return "the table file is read-only";
        case TReadOnlyReason::InUse: return "the table file is in use by another KelvMap process";
        case TReadOnlyReason::OpenedForReading: return "the table is open for reading only";
    }
    return {};
}

void RequireOpen(TCustomTable& table, const std::string& path, TOpenMode mode) {
    const TOpenStatus status = table.Open(path, mode);
    if (status != TOpenStatus::Opened && status != TOpenStatus::AlreadyOpen) throw OpenStatusError(status, path);
}

TOpenStatus TCustomTable::Open(const std::string& path, TOpenMode mode) {
    if (opened_) return TOpenStatus::AlreadyOpen;
    fileName_ = path;

    // A failure anywhere here leaves the table closed: the file handle and
    // everything read so far are locals and go with the exception or status.
    std::unique_ptr<ITableFile> file;
    TReadOnlyReason reason = TReadOnlyReason::None;
    const int rc = Impl::OpenFile(*fs_, path, mode, file, reason);
    if (rc != 0) return static_cast<TOpenStatus>(rc);
    if (!file) return TOpenStatus::NotTableFile;
    std::vector<uint8_t> bytes = Impl::ReadImage(*file, path);
    TTableLayout layout = ReadTableLayout(bytes.data(), static_cast<int64_t>(bytes.size()));
    if (layout.Damage == TTableDamage::NotTableFile) return TOpenStatus::NotTableFile;
    Impl::RefuseDamage(layout, reason, path);

    Impl::Install(*this, std::move(bytes), std::move(layout), std::move(file), reason);
    try {
        GoToRecord(0);
    } catch (...) {
        file_.reset();
        fields_.Clear();
        records_.clear();
        recordCount_ = 0;
        readOnly_ = TReadOnlyReason::None;
        throw;
    }
    opened_ = true;
    return TOpenStatus::Opened;
}

int32_t TCustomTable::CreateTableFile(const std::string& path) {
    if (opened_) return -1;
    bool created = false;
    std::unique_ptr<ITableFile> file = fs_->OpenOrCreate(path, created);
    // Nothing is changed before the lock is held and the old bytes are read
    // (to give them back should the new header fail).
    std::vector<uint8_t> before;
    try {
        if (!file->TryLock()) throw Impl::ReadOnlyError(TReadOnlyReason::InUse, path);
        if (!created) before = file->ReadAll();
    } catch (EKelvError& e) {
        if (created) Impl::UndoCreate(*fs_, path, file.get(), true, before);
        e.SetContext(path);
        throw;
    } catch (const std::bad_alloc&) {
        if (created) Impl::UndoCreate(*fs_, path, file.get(), true, before);
        RaiseNoMemory(path);
    }

    uint8_t header[kHeaderSize] = {};
    std::memcpy(header, kMagic, sizeof kMagic);
    try {
        file->Truncate(0);
        file->WriteAt(0, header, sizeof header);
        file->Sync();
    } catch (EKelvError& e) {
        Impl::UndoCreate(*fs_, path, file.get(), created, before);
        e.SetContext(path);
        throw;
    }
    try {
        file->Close();
    } catch (EKelvError& e) {
        Impl::UndoCreate(*fs_, path, nullptr, created, before);
        e.SetContext(path);
        throw;
    }
    std::memcpy(header_, header, sizeof header_);
    return 0;
}

int32_t TCustomTable::AddField(const std::string& name, uint8_t fieldType, int32_t declaredSize) {
    if (DataStart() != 0) return kStatusCatalogueFrozen;
    int32_t storedSize = 0;
    if (fieldType == kFieldInteger && declaredSize == 4) {
        storedSize = 4;
    } else if (fieldType == kFieldString && declaredSize >= 1 && declaredSize <= kMaxStringCapacity) {
        storedSize = declaredSize + 1;
    } else {
        return kStatusBadFieldDefinition;
    }
    if (int64_t{fields_.RecordSize()} + storedSize > kMaxFileSize ||
        Impl::RecordOffset(*this, 0) + kDescriptorSize > kMaxFileSize) {
        return kStatusBadFieldDefinition;
    }
    Impl::File(*this);
    Impl::RequireWritable(*this);

    // Everything that allocates comes before the write.
    TFields next;
    std::vector<uint8_t> buffer;
    try {
        next = fields_;
        next.AddDescriptor(name, fieldType, storedSize);
        buffer = buffer_;
        buffer.resize(static_cast<size_t>(next.RecordSize()), 0);
    } catch (const std::bad_alloc&) {
        RaiseNoMemory(fileName_);
    }
    // The earlier descriptors are in the file byte for byte already; only the
    // new one is written, at the end of the file, so a failed write is a tail
    // that is cut off again.
    uint8_t descriptor[kDescriptorSize];
    EncodeDescriptor(next[next.Count() - 1], descriptor);
    Impl::WriteNew(*this, Impl::RecordOffset(*this, 0), descriptor, sizeof descriptor);

    fields_ = std::move(next);
    buffer_ = std::move(buffer);
    if (isNew_) currentPos_ = static_cast<int32_t>(Impl::RecordOffset(*this, currentIndex_));
    return 0;
}

void TCustomTable::Close() {
    if (ReadOnly() && modified_) {
        // The change can never be stored; the caller learns it after the
        // table is closed, so that no later Close or destructor tries again.
        const EInOutError error = Impl::ReadOnlyError(readOnly_, fileName_);
        DiscardPending();
        try {
            Impl::Release(*this);
        } catch (...) {
        }
        throw error;
    }
    Post();
    EndBulkAppend();
    Impl::Release(*this);
}

int32_t TCustomTable::RecordCount() const noexcept { return recordCount_; }

int32_t TCustomTable::RecordSize() const noexcept { return fields_.RecordSize(); }

int32_t TCustomTable::DataStart() const noexcept { return GetLE32(header_ + table_format::kDataStartOffset); }

void TCustomTable::GoToRecord(int32_t n) {
    if (fields_.Count() == 0) return;
    Impl::FitBuffer(*this);
    Post();
    if (n == -1 || n == recordCount_) {
        currentIndex_ = recordCount_;
        isNew_ = true;
    } else {
        currentIndex_ = n;
        isNew_ = false;
    }
    recordGone_ = false;
    currentPos_ = static_cast<int32_t>(Impl::RecordOffset(*this, currentIndex_));
    if (!isNew_) {
        if (n < 0 || n >= recordCount_) throw EListError(n);
        std::memcpy(buffer_.data(), Impl::StoredRecord(*this, n), buffer_.size());
    }
}

void TCustomTable::AppendRecord() {
    GoToRecord(-1);
    std::fill(buffer_.begin(), buffer_.end(), uint8_t{0});
}

void TCustomTable::SetFieldValue(const FieldValue& field, const FieldValue& value) {
    const int32_t i = FieldIndex(field);
    const FieldDescriptor& d = Impl::Descriptor(*this, i);
    // After a deletion, a clear or a failed move there is no record to set.
    if (!Impl::HasCurrentRecord(*this)) throw EListError(currentIndex_);
    Impl::StoreValue(buffer_.data() + d.FieldOffset, d, value);
    modified_ = true;
}

FieldValue TCustomTable::GetFieldValue(const FieldValue& field) const {
    if (isNew_) return FieldValue();
    const int32_t i = FieldIndex(field);
    const FieldDescriptor& d = Impl::Descriptor(*this, i);
    if (buffer_.size() != Impl::RecordBytes(*this)) return FieldValue();
    return Impl::ReadValue(buffer_.data() + d.FieldOffset, d);
}

void TCustomTable::Post() {
    if (!modified_) return;
    Impl::File(*this);
    Impl::RequireWritable(*this);
    if (recordCount_ == 0 && DataStart() != currentPos_) Impl::WriteDataStart(*this);
    if (isNew_) {
        Impl::StoreNewRecord(*this);
    } else {
        Impl::StoreChangedRecord(*this);
    }
}

void TCustomTable::BeginBulkAppend() noexcept {
    if (bulkAppend_) return;
    bulkAppend_ = true;
    writtenCount_ = recordCount_;
}

void TCustomTable::EndBulkAppend() {
    if (!bulkAppend_) return;
    // The mode ends whether or not the last write succeeds.
    struct EndMode {
        bool& on;
        ~EndMode() { on = false; }
    } endMode{bulkAppend_};
    Impl::WriteGatheredAppends(*this);
    Impl::Flush(*this);
}

void TCustomTable::DiscardPending() noexcept {
    modified_ = false;
    if (buffer_.empty()) return;
    if (isNew_) {
        std::fill(buffer_.begin(), buffer_.end(), uint8_t{0});
    } else if (!recordGone_ && currentIndex_ >= 0 && currentIndex_ < recordCount_ &&
               buffer_.size() == Impl::RecordBytes(*this)) {
        std::memcpy(buffer_.data(), Impl::StoredRecord(*this, currentIndex_), buffer_.size());
    }
}

int32_t TCustomTable::Locate(const FieldValue& field, const FieldValue& value) {
    searchField_ = field;
    searchValue_ = value;
    searchNext_ = 0;
    return FindNext();
}

int32_t TCustomTable::FindNext() {
    // The field is resolved once per call. The comparison is ValuesEqual
    // (stored value on the left); where both sides have one kind it runs in
    // place on the stored bytes, giving the same answer without building a
    // value per record.
    const int32_t fieldIndex = FieldIndex(searchField_);
    const FieldDescriptor& d = Impl::Descriptor(*this, fieldIndex);
    const size_t size = Impl::RecordBytes(*this);
    const int32_t first = std::max(searchNext_, 0);
    if (first >= recordCount_) return -1;
    const uint8_t* base = records_.data() + static_cast<size_t>(d.FieldOffset);
    auto found = [this](int32_t i) {
        searchNext_ = i + 1;
        return i;
    };

    if (searchValue_.IsEmpty()) throw EVariantError::Operation();
    if (d.FieldType == kFieldInteger) {
        // Against an integer, or a text read once as a number (failing at the
        // first record, as ValuesEqual on every record would).
        uint8_t pattern[table_format::kIntegerSize];
        PutLE32(pattern, searchValue_.AsInteger());
        for (int32_t i = first; i < recordCount_; ++i) {
            if (std::memcmp(base + static_cast<size_t>(i) * size, pattern, sizeof pattern) == 0) return found(i);
        }
        return -1;
    }
    if (searchValue_.IsString()) {
        const std::string_view wanted = UpToZero(searchValue_.StrValue());
        for (int32_t i = first; i < recordCount_; ++i) {
            if (UpToZero(StoredText(base + static_cast<size_t>(i) * size, d.FieldSize)) == wanted) return found(i);
        }
        return -1;
    }
    // A string field against an integer: every record's text is read as a number.
    for (int32_t i = first; i < recordCount_; ++i) {
        const FieldValue stored(std::string(StoredText(base + static_cast<size_t>(i) * size, d.FieldSize)));
        if (ValuesEqual(stored, searchValue_)) return found(i);
    }
    return -1;
}

void TCustomTable::DeleteRecord(int32_t n) {
    if (n < 0 || n > recordCount_ - 1) throw ERangeError("Неправильный индекс!");
    Impl::RequireWritable(*this);
    Impl::WriteGatheredAppends(*this);
    GoToRecord(n);
    const size_t size = Impl::RecordBytes(*this);
    const int32_t last = recordCount_ - 1;
    // The file changes first, memory after both steps succeeded.
    if (n != last) {
        Impl::WriteOver(*this, Impl::RecordOffset(*this, n), Impl::StoredRecord(*this, last),
                        Impl::StoredRecord(*this, n), size);
    }
    Impl::CutLastRecord(*this, n, last);
    if (n != last) std::memcpy(Impl::StoredRecord(*this, n), Impl::StoredRecord(*this, last), size);
    records_.resize(records_.size() - size);
    recordCount_ = last;
    writtenCount_ = recordCount_;
    currentIndex_ = n;
    isNew_ = false;
    recordGone_ = true;
}

void TCustomTable::ClearTable() {
    // The end state of deleting record 0 over and over, reached with one
    // truncation: no records, the file cut back to header and catalogue.
    Impl::RequireWritable(*this);
    Post();
    Impl::WriteGatheredAppends(*this);
    if (recordCount_ == 0) return;
    try {
        Impl::File(*this).Truncate(Impl::RecordOffset(*this, 0));
    } catch (EKelvError& e) {
        e.SetContext(fileName_);
        throw;
    }
    unsynced_ = true;
    // Deleting record 0 k times leaves in the buffer the record that was
    // second (the last deletion's record 0), or the only one.
    Impl::FitBuffer(*this);
    std::memcpy(buffer_.data(), Impl::StoredRecord(*this, recordCount_ >= 2 ? 1 : 0), buffer_.size());
    records_.clear();
    recordCount_ = 0;
    writtenCount_ = 0;
    currentIndex_ = 0;
    currentPos_ = static_cast<int32_t>(Impl::RecordOffset(*this, 0));
    isNew_ = false;
    modified_ = false;
    recordGone_ = true;
}

int32_t TCustomTable::FieldIndex(const FieldValue& field) const {
    if (field.IsInteger()) return field.IntValue();
    if (!field.IsString()) return -1;
    const std::string_view name = UpToZero(field.StrValue());
    for (int32_t i = fields_.Count() - 1; i >= 0; --i) {
        if (UpToZero(fields_[i].FieldName) == name) return i;
    }
    return -1;
}
