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
    int64_t pos = kHeaderSize;
    bool partial = false;
    while (pos < size) {
        if (size - pos < kDescriptorSize) {
            partial = true;
            break;
        }
        descriptors.push_back(DecodeDescriptor(bytes + pos));
        pos += kDescriptorSize;
        if (pos == dataStart) break;
    }
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
        l.Damage = TTableDamage::PartialDescriptor;
        l.TailSize = size - pos;
        // Descriptors are only ever added before the first record.
        if (catalogue.empty() && dataStart != 0) catalogue = "its DataStart " + Num(dataStart) + " says records follow";
        l.Repairable = catalogue.empty();
        l.Problem = ReadBeyond("a partial field descriptor of " + Num(l.TailSize) +
                               " bytes at the end (descriptors have 48), after " + Num(int64_t(descriptors.size())) +
                               " whole descriptors");
        if (!catalogue.empty()) l.Problem += "; and " + std::string(kNotTableFileText) + ": " + catalogue;
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
