#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
