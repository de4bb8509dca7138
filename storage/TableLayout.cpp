#include "TableLayout.h"

#include <cstring>
#include <vector>

#include "Coding.h"
#include "KelvErrors.h"
#include "TableFormat.h"

namespace {

using coding::GetLE32;
using namespace table_format;

constexpr int kReadBeyondEnd = 100;

std::string Num(int64_t n) { return std::to_string(n); }

FieldDescriptor DecodeDescriptor(const uint8_t* in) {
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

// Why a descriptor does not let the engine read and write its field strictly
// inside a record of recordSize bytes in the stored form of its type; "" when
// it does. Everything in 64-bit so no check can overflow.
std::string DescriptorProblem(const FieldDescriptor& d, int64_t recordSize) {
    if (d.FieldType == kFieldInteger) {
        if (d.FieldSize != kIntegerSize) return "is an integer field of " + Num(d.FieldSize) + " bytes (integers have 4)";
    } else if (d.FieldType == kFieldString) {
        // A length byte counts at most 255 characters: a larger field cannot be
        // written by the format's rules, so such a catalogue is not ours.
        if (d.FieldSize < 1 || d.FieldSize > kMaxStringCapacity + 1) {
            return "is a string field of " + Num(d.FieldSize) + " bytes (strings have 1 to 256)";
        }
    } else {
        return "has the unknown field type " + Num(d.FieldType);
    }
    const int64_t start = d.FieldOffset;
    const int64_t end = start + int64_t{d.FieldSize};
    if (start < 0 || end > recordSize) {
        return "places its field at bytes " + Num(start) + " to " + Num(end) + ", outside the record of " +
               Num(recordSize) + " bytes";
    }
    return {};
}

std::string DescriptorAt(size_t i) { return "the field descriptor at offset " + Num(RecordAreaStart(int64_t(i))) + " "; }

// Why the catalogue cannot be used; "" when it can. Sets recordSize.
std::string CatalogueProblem(const std::vector<FieldDescriptor>& ds, int64_t& recordSize) {
    recordSize = kRecordLeadSize;
    for (size_t i = 0; i < ds.size(); ++i) {
        if (ds[i].FieldSize < 1) return DescriptorAt(i) + DescriptorProblem(ds[i], 0);
        recordSize += ds[i].FieldSize;
        if (recordSize > kMaxFileSize) return "its records would be larger than the format's 2 GiB";
    }
    for (size_t i = 0; i < ds.size(); ++i) {
        const std::string problem = DescriptorProblem(ds[i], recordSize);
        if (!problem.empty()) return DescriptorAt(i) + problem;
    }
    return {};
}

TTableLayout Damaged(TTableDamage damage, std::string problem) {
    TTableLayout l;
    l.Damage = damage;
    l.Problem = std::move(problem);
    return l;
}

TTableLayout NotTable(const std::string& why) {
    return Damaged(TTableDamage::NotTableFile, std::string(kNotTableFileText) + ": " + why);
}

std::string ReadBeyond(const std::string& detail) { return EInOutError::TextFor(kReadBeyondEnd) + ": " + detail; }

// The layout of the records after a sound catalogue.
void ReadRecordArea(int64_t size, int64_t recordSize, TTableLayout& l) {
    if (l.DataStart == 0) return;  // no record was ever stored
    const int64_t area = size - l.DataStart;
    l.RecordCount = area / recordSize;
    l.TailSize = area % recordSize;
    l.WholeSize = size - l.TailSize;
    if (l.TailSize == 0) return;
    l.Damage = TTableDamage::PartialRecord;
    l.Repairable = true;
    l.Problem = ReadBeyond("a partial record of " + Num(l.TailSize) + " bytes at the end (records have " +
                           Num(recordSize) + "), after " + Num(l.RecordCount) + " whole records");
}

// Reads whole descriptors from the end of the header on, until the end of the
// file or the first position equal to dataStart after a descriptor; returns
// that position. partial: the file ends inside the descriptor after it.
int64_t ReadCatalogue(const uint8_t* bytes, int64_t size, int64_t dataStart, std::vector<FieldDescriptor>& out,
                      bool& partial) {
    int64_t pos = kHeaderSize;
    while (size - pos >= kDescriptorSize) {
        out.push_back(DecodeDescriptor(bytes + pos));
        pos += kDescriptorSize;
        if (pos == dataStart) {
            partial = false;
            return pos;
        }
    }
    partial = pos < size;
    return pos;
}

// The layout of a file that ends inside a descriptor after `whole` whole
// ones; `other` is what else is wrong with the catalogue.
void ReadPartialDescriptor(int64_t size, size_t whole, std::string other, TTableLayout& l) {
    l.Damage = TTableDamage::PartialDescriptor;
    l.TailSize = size - l.WholeSize;
    // Descriptors are only ever added before the first record.
    if (other.empty() && l.DataStart != 0) other = "its DataStart " + Num(l.DataStart) + " says records follow";
    l.Repairable = other.empty();
    l.Problem = ReadBeyond("a partial field descriptor of " + Num(l.TailSize) +
                           " bytes at the end (descriptors have 48), after " + Num(int64_t(whole)) +
                           " whole descriptors");
    if (!other.empty()) l.Problem += "; and " + std::string(kNotTableFileText) + ": " + other;
}

}  // namespace

TTableLayout ReadTableLayout(const uint8_t* bytes, int64_t size) {
    if (size < kHeaderSize) {
        return Damaged(TTableDamage::HeaderCut,
                       ReadBeyond("the file ends inside its 32-byte header (it has " + Num(size) + " bytes)"));
    }
    if (size > kMaxFileSize) return Damaged(TTableDamage::TooLarge, kTooLargeText);
    if (std::memcmp(bytes, kMagic, kMagicSize) != 0) return NotTable("it does not begin with the table file mark");
    const int64_t dataStart = GetLE32(bytes + kDataStartOffset);
    if (dataStart != 0 && (dataStart < kHeaderSize || (dataStart - kHeaderSize) % kDescriptorSize != 0)) {
        return NotTable("its DataStart " + Num(dataStart) + " is not a place where records can begin");
    }
    if (dataStart > size) {
        return NotTable("the catalogue does not fit: DataStart " + Num(dataStart) + " lies beyond the end of the file (" +
                        Num(size) + " bytes)");
    }

    // The catalogue runs to the end of the file, or stops where DataStart says.
    std::vector<FieldDescriptor> descriptors;
    bool partial = false;
    const int64_t pos = ReadCatalogue(bytes, size, dataStart, descriptors, partial);
    int64_t recordSize = 0;
    std::string catalogue;
    if (dataStart != 0 && pos != dataStart) {
        catalogue = "the catalogue does not fit: DataStart " + Num(dataStart) + " is not where the catalogue ends";
    } else {
        catalogue = CatalogueProblem(descriptors, recordSize);
    }

    TTableLayout l;
    l.DataStart = dataStart;
    l.WholeSize = pos;
    if (partial) {
        ReadPartialDescriptor(size, descriptors.size(), catalogue, l);
    } else if (!catalogue.empty()) {
        return NotTable(catalogue);
    } else {
        ReadRecordArea(size, recordSize, l);
    }
    if (l.Damage == TTableDamage::None || l.Repairable) {
        for (FieldDescriptor& d : descriptors) l.Fields.Append(std::move(d));
    }
    return l;
}
