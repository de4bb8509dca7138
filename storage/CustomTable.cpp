#include "CustomTable.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "Coding.h"
#include "KelvErrors.h"
#include "TableFormat.h"

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
constexpr int kFileTooLarge = 27;  // EFBIG
constexpr size_t kBulkAppendBytes = size_t{1} << 18;  // gathered appends per write

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

FieldDescriptor DecodeDescriptor(const uint8_t* in) {
    using namespace table_format;
    FieldDescriptor d;
    // A length byte above 31 would reach into the type and size bytes; the
    // name can only ever be the 31 name bytes.
    const size_t len = std::min<size_t>(in[kNameLengthOffset], kMaxNameLength);
    d.FieldName.assign(reinterpret_cast<const char*>(in + kNameLengthOffset + 1), len);
    d.FieldType = in[kTypeOffset];
    d.FieldSize = GetLE32(in + kSizeOffset);
    d.FieldOffset = GetLE32(in + kFieldOffsetOffset);
    return d;
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

// Whether a descriptor read from a file lets the engine read and write the
// field strictly inside a record of recordSize bytes and in the stored form
// of its type. Everything in 64-bit so no check can overflow.
bool DescriptorIsSound(const FieldDescriptor& d, int64_t recordSize) noexcept {
    if (d.FieldType == kFieldInteger) {
        if (d.FieldSize != table_format::kIntegerSize) return false;
    } else if (d.FieldType == kFieldString) {
        // A length byte counts at most 255 characters: a larger field cannot be
        // written by the format's rules, so such a catalogue is not ours.
        if (d.FieldSize < 1 || d.FieldSize > kMaxStringCapacity + 1) return false;
    } else {
        return false;
    }
    const int64_t start = d.FieldOffset;
    const int64_t end = start + int64_t{d.FieldSize};
    return start >= 0 && end <= recordSize;
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
        return kHeaderSize + kDescriptorSize * t.fields_.Count() + n * int64_t{t.fields_.RecordSize()};
    }

    static void SetDataStart(uint8_t* header, int32_t value) noexcept {
        PutLE32(header + table_format::kDataStartOffset, value);
    }

    static ITableFile& File(const TCustomTable& t) {
        if (!t.file_) throw EInOutError(kFileNotOpen, EInOutError::TextFor(kFileNotOpen));
        return *t.file_;
    }

    static const FieldDescriptor& Descriptor(const TCustomTable& t, int32_t i) {
        if (i < 0 || i >= t.fields_.Count()) throw EListError(i);
        return t.fields_[i];
    }

    static const uint8_t* StoredRecord(const TCustomTable& t, int32_t i) noexcept {
        return t.records_.data() + static_cast<size_t>(i) * static_cast<size_t>(t.fields_.RecordSize());
    }
    static uint8_t* StoredRecord(TCustomTable& t, int32_t i) noexcept {
        return t.records_.data() + static_cast<size_t>(i) * static_cast<size_t>(t.fields_.RecordSize());
    }

    // Writes the records appended since the last gathered write, in one
    // write. Should that fail, they are written again one by one, so that the
    // file keeps every record that fits (as one write per record would have);
    // the first that fails is dropped from memory with all after it, the file
    // is cut back to the records it holds, and the error is raised.
    static void WriteGatheredAppends(TCustomTable& t) {
        if (!t.bulkAppend_ || t.writtenCount_ >= t.recordCount_) return;
        const auto size = static_cast<size_t>(t.fields_.RecordSize());
        ITableFile& file = File(t);
        try {
            file.WriteAt(RecordOffset(t, t.writtenCount_), StoredRecord(t, t.writtenCount_),
                         static_cast<size_t>(t.recordCount_ - t.writtenCount_) * size);
            t.writtenCount_ = t.recordCount_;
            return;
        } catch (const EInOutError&) {
            // Retried record by record below.
        }
        for (int32_t i = t.writtenCount_; i < t.recordCount_; ++i) {
            try {
                file.WriteAt(RecordOffset(t, i), StoredRecord(t, i), size);
            } catch (...) {
                DropUnwritten(t, i);
                throw;
            }
            t.writtenCount_ = i + 1;
        }
    }

    static void DropUnwritten(TCustomTable& t, int32_t from) noexcept {
        try {
            File(t).Truncate(RecordOffset(t, from));  // a partly written tail
        } catch (...) {
            // The write's own error is the one to report.
        }
        t.records_.resize(static_cast<size_t>(from) * static_cast<size_t>(t.fields_.RecordSize()));
        t.recordCount_ = from;
        t.writtenCount_ = from;
        if (t.currentIndex_ >= from) {
            t.currentIndex_ = from;
            t.currentPos_ = static_cast<int32_t>(RecordOffset(t, from));
            t.isNew_ = true;
            t.modified_ = false;
            std::fill(t.buffer_.begin(), t.buffer_.end(), uint8_t{0});
        }
    }

    // The buffer follows the catalogue in force: a resize keeps the bytes it
    // has and zero-fills any new tail.
    static void FitBuffer(TCustomTable& t) {
        const auto size = static_cast<size_t>(t.fields_.RecordSize());
        if (t.buffer_.size() != size) t.buffer_.resize(size, 0);
    }

    // Whether the cursor is on something fields may be set on: a new record,
    // or a stored record that still exists.
    static bool HasCurrentRecord(const TCustomTable& t) noexcept {
        if (t.fields_.Count() == 0 || t.buffer_.size() != static_cast<size_t>(t.fields_.RecordSize())) return false;
        return t.isNew_ || (t.currentIndex_ >= 0 && t.currentIndex_ < t.recordCount_);
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

    // Parses and checks a whole file image. Returns Opened or NotTableFile;
    // raises EInOutError for a file that ends inside its header, a descriptor
    // or a record. Nothing is allocated from a size the checks have not passed.
    static TOpenStatus Parse(std::vector<uint8_t>&& bytes, uint8_t (&header)[kHeaderSize], TFields& fields,
                         std::vector<uint8_t>& records, int32_t& recordCount) {
        const auto fileSize = static_cast<int64_t>(bytes.size());
        if (fileSize < kHeaderSize) throw EInOutError::FromCode(kReadBeyondEnd);
        if (fileSize > kMaxFileSize) throw EInOutError::FromCode(kFileTooLarge);
        if (std::memcmp(bytes.data(), kMagic, table_format::kMagicSize) != 0) return TOpenStatus::NotTableFile;
        std::memcpy(header, bytes.data(), kHeaderSize);

        const int64_t dataStart = GetLE32(header + table_format::kDataStartOffset);
        if (dataStart != 0 && (dataStart < kHeaderSize || (dataStart - kHeaderSize) % kDescriptorSize != 0)) {
            return TOpenStatus::NotTableFile;
        }
        if (dataStart > fileSize) return TOpenStatus::NotTableFile;

        // The catalogue runs to the end of the file, or stops where DataStart says.
        std::vector<FieldDescriptor> descriptors;
        int64_t pos = kHeaderSize;
        while (pos < fileSize) {
            if (fileSize - pos < kDescriptorSize) throw EInOutError::FromCode(kReadBeyondEnd);
            descriptors.push_back(DecodeDescriptor(bytes.data() + pos));
            pos += kDescriptorSize;
            if (pos == dataStart) break;
        }
        // A DataStart beyond the catalogue actually present (or beyond the file).
        if (dataStart != 0 && pos != dataStart) return TOpenStatus::NotTableFile;

        int64_t recordSize = 1;
        for (const FieldDescriptor& d : descriptors) {
            if (d.FieldSize < 1) return TOpenStatus::NotTableFile;
            recordSize += d.FieldSize;
            if (recordSize > kMaxFileSize) return TOpenStatus::NotTableFile;
        }
        for (const FieldDescriptor& d : descriptors) {
            if (!DescriptorIsSound(d, recordSize)) return TOpenStatus::NotTableFile;
        }

        int64_t count = 0;
        if (dataStart != 0) {
            const int64_t area = fileSize - dataStart;
            if (area % recordSize != 0) throw EInOutError::FromCode(kReadBeyondEnd);
            count = area / recordSize;
        }

        TFields parsed;
        for (FieldDescriptor& d : descriptors) parsed.Append(std::move(d));
        fields = std::move(parsed);
        if (count > 0) {
            // The file image becomes the record list: one move of the bytes
            // down over header and catalogue instead of a second copy.
            bytes.erase(bytes.begin(), bytes.begin() + dataStart);
            records = std::move(bytes);
        } else {
            records.clear();
        }
        recordCount = static_cast<int32_t>(count);
        return TOpenStatus::Opened;
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
        std::fprintf(stderr, "KelvMap: could not store the pending record of table '%s': %s\n", fileName_.c_str(),
                     e.what());
    } catch (...) {
        std::fprintf(stderr, "KelvMap: could not store the pending record of table '%s'\n", fileName_.c_str());
    }
    // Close stops at a failed Post; whatever it left is released here without
    // another attempt to store.
    file_.reset();
}

std::string OpenStatusText(TOpenStatus status) {
    switch (status) {
        case TOpenStatus::Opened: return {};
        case TOpenStatus::AlreadyOpen: return "the table is already open";
        case TOpenStatus::NotTableFile: return "not a table file";
        default: return EInOutError::TextFor(static_cast<int>(status));
    }
}

EKelvError OpenStatusError(TOpenStatus status, const std::string& path) {
    EKelvError error(OpenStatusText(status));
    error.SetContext(path);
    return error;
}

void RequireOpen(TCustomTable& table, const std::string& path) {
    const TOpenStatus status = table.Open(path);
    if (status != TOpenStatus::Opened && status != TOpenStatus::AlreadyOpen) throw OpenStatusError(status, path);
}

TOpenStatus TCustomTable::Open(const std::string& path) {
    if (opened_) return TOpenStatus::AlreadyOpen;
    fileName_ = path;

    std::unique_ptr<ITableFile> file;
    const int rc = fs_->OpenExisting(path, file);
    if (rc != 0) return static_cast<TOpenStatus>(rc);
    if (!file) return TOpenStatus::NotTableFile;

    uint8_t header[kHeaderSize] = {};
    TFields fields;
    std::vector<uint8_t> records;
    int32_t count = 0;
    // A failure anywhere here leaves the table closed: the file handle and
    // everything read so far are locals and go with the exception or status.
    TOpenStatus status = TOpenStatus::Opened;
    try {
        status = Impl::Parse(file->ReadAll(), header, fields, records, count);
    } catch (EKelvError& e) {
        e.SetContext(path);
        throw;
    }
    if (status != TOpenStatus::Opened) return status;

    std::memcpy(header_, header, sizeof header_);
    fields_ = std::move(fields);
    records_ = std::move(records);
    recordCount_ = count;
    modified_ = false;
    file_ = std::move(file);
    if (DataStart() == 0) {
        isNew_ = true;
        currentIndex_ = 0;
        currentPos_ = static_cast<int32_t>(Impl::RecordOffset(*this, 0));
    }

    try {
        GoToRecord(0);
    } catch (...) {
        file_.reset();
        fields_.Clear();
        records_.clear();
        recordCount_ = 0;
        throw;
    }
    opened_ = true;
    return TOpenStatus::Opened;
}

int32_t TCustomTable::CreateTableFile(const std::string& path) {
    if (opened_) return -1;
    std::unique_ptr<ITableFile> file = fs_->CreateOrTruncate(path);
    uint8_t header[kHeaderSize] = {};
    std::memcpy(header, kMagic, sizeof kMagic);
    file->WriteAt(0, header, sizeof header);
    std::memcpy(header_, header, sizeof header_);
    return 0;  // the file closes as `file` goes out of scope
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
    ITableFile& file = Impl::File(*this);

    TFields next = fields_;
    next.AddDescriptor(name, fieldType, storedSize);
    std::vector<uint8_t> catalogue(static_cast<size_t>(next.Count()) * kDescriptorSize);
    for (int32_t i = 0; i < next.Count(); ++i) {
        EncodeDescriptor(next[i], catalogue.data() + static_cast<size_t>(i) * kDescriptorSize);
    }
    // File first: a failed write leaves the catalogue in memory as it was.
    file.WriteAt(kHeaderSize, catalogue.data(), catalogue.size());
    fields_ = std::move(next);

    Impl::FitBuffer(*this);
    if (isNew_) currentPos_ = static_cast<int32_t>(Impl::RecordOffset(*this, currentIndex_));
    return 0;
}

void TCustomTable::Close() {
    Post();
    EndBulkAppend();
    records_.clear();
    records_.shrink_to_fit();
    recordCount_ = 0;
    fields_.Clear();
    file_.reset();
    opened_ = false;
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
    if (buffer_.size() != static_cast<size_t>(fields_.RecordSize())) return FieldValue();
    return Impl::ReadValue(buffer_.data() + d.FieldOffset, d);
}

void TCustomTable::Post() {
    if (!modified_) return;
    ITableFile& file = Impl::File(*this);
    const auto size = static_cast<size_t>(fields_.RecordSize());
    if (recordCount_ == 0 && DataStart() != currentPos_) {
        // The first record freezes the catalogue. Memory follows the file:
        // only a header that was written is kept.
        uint8_t header[kHeaderSize];
        std::memcpy(header, header_, sizeof header);
        Impl::SetDataStart(header, currentPos_);
        file.WriteAt(0, header, sizeof header);
        std::memcpy(header_, header, sizeof header_);
    }
    if (isNew_) {
        if (int64_t{currentPos_} + static_cast<int64_t>(size) > kMaxFileSize) {
            throw EInOutError::FromCode(kFileTooLarge);
        }
        if (!bulkAppend_) file.WriteAt(currentPos_, buffer_.data(), size);
        records_.insert(records_.end(), buffer_.begin(), buffer_.end());
        ++recordCount_;
        std::fill(buffer_.begin(), buffer_.end(), uint8_t{0});
        isNew_ = false;
        modified_ = false;
        if (bulkAppend_ && static_cast<size_t>(recordCount_ - writtenCount_) * size >= kBulkAppendBytes) {
            Impl::WriteGatheredAppends(*this);
        }
        return;
    }
    Impl::WriteGatheredAppends(*this);
    file.WriteAt(currentPos_, buffer_.data(), size);
    std::memcpy(Impl::StoredRecord(*this, currentIndex_), buffer_.data(), size);
    modified_ = false;
}

void TCustomTable::BeginBulkAppend() noexcept {
    if (bulkAppend_) return;
    bulkAppend_ = true;
    writtenCount_ = recordCount_;
}

void TCustomTable::EndBulkAppend() {
    // The mode ends whether or not the last write succeeds.
    struct EndMode {
        bool& on;
        ~EndMode() { on = false; }
    } endMode{bulkAppend_};
    Impl::WriteGatheredAppends(*this);
}

void TCustomTable::DiscardPending() noexcept {
    modified_ = false;
    if (buffer_.empty()) return;
    if (isNew_) {
        std::fill(buffer_.begin(), buffer_.end(), uint8_t{0});
    } else if (currentIndex_ >= 0 && currentIndex_ < recordCount_ &&
               buffer_.size() == static_cast<size_t>(fields_.RecordSize())) {
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
    // The field is resolved once per call; every record is then compared in
    // place, without building a FieldValue where the types allow it.
    const int32_t fieldIndex = FieldIndex(searchField_);
    const FieldDescriptor& d = Impl::Descriptor(*this, fieldIndex);
    const auto size = static_cast<size_t>(fields_.RecordSize());
    const int32_t first = std::max(searchNext_, 0);
    if (first >= recordCount_) return -1;
    const uint8_t* base = records_.data() + static_cast<size_t>(d.FieldOffset);

    auto found = [this](int32_t i) {
        searchNext_ = i + 1;
        return i;
    };

    if (searchValue_.IsEmpty()) throw EVariantError::Operation();

    if (d.FieldType == kFieldInteger) {
        // Integer field against an integer, or against a text read once as a
        // number (failing at the first record, as the per-record comparison would).
        const int32_t wanted = searchValue_.AsInteger();
        uint8_t pattern[table_format::kIntegerSize];
        PutLE32(pattern, wanted);
        for (int32_t i = first; i < recordCount_; ++i) {
            if (std::memcmp(base + static_cast<size_t>(i) * size, pattern, sizeof pattern) == 0) return found(i);
        }
        return -1;
    }

    if (searchValue_.IsString()) {
        const std::string_view wanted = UpToZero(searchValue_.StrValue());
        for (int32_t i = first; i < recordCount_; ++i) {
            const std::string_view text = UpToZero(StoredText(base + static_cast<size_t>(i) * size, d.FieldSize));
            if (text == wanted) return found(i);
        }
        return -1;
    }

    // String field against an integer: every record's text is read as a number.
    const int32_t wanted = searchValue_.IntValue();
    for (int32_t i = first; i < recordCount_; ++i) {
        const std::string_view text = StoredText(base + static_cast<size_t>(i) * size, d.FieldSize);
        int32_t number = 0;
        if (!TryTextToInteger(UpToZero(text), number)) throw EVariantError::TypeConversion();
        if (number == wanted) return found(i);
    }
    return -1;
}

void TCustomTable::DeleteRecord(int32_t n) {
    if (n < 0 || n > recordCount_ - 1) throw ERangeError("Неправильный индекс!");
    Impl::WriteGatheredAppends(*this);
    GoToRecord(n);
    ITableFile& file = Impl::File(*this);
    const auto size = static_cast<size_t>(fields_.RecordSize());
    const int32_t last = recordCount_ - 1;
    // File and memory move together step by step, so that after a failed
    // write or truncation both still hold the same records.
    if (n != last) {
        file.WriteAt(Impl::RecordOffset(*this, n), Impl::StoredRecord(*this, last), size);
        std::memcpy(Impl::StoredRecord(*this, n), Impl::StoredRecord(*this, last), size);
    }
    file.Truncate(Impl::RecordOffset(*this, last));
    records_.resize(records_.size() - size);
    recordCount_ = last;
    writtenCount_ = recordCount_;
    currentIndex_ = n;
    isNew_ = false;
}

void TCustomTable::ClearTable() {
    // The end state of deleting record 0 over and over, reached with one
    // truncation: no records, the file cut back to header and catalogue.
    Post();
    Impl::WriteGatheredAppends(*this);
    if (recordCount_ == 0) return;
    GoToRecord(0);
    Impl::File(*this).Truncate(Impl::RecordOffset(*this, 0));
    records_.clear();
    recordCount_ = 0;
    writtenCount_ = 0;
    currentIndex_ = 0;
    isNew_ = false;
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
