#pragma once

// Little-endian coding of the 32-bit integers of the table format. The bytes
// on disk never depend on the host's struct layout or byte order.

#include <cstdint>

namespace coding {

inline int32_t GetLE32(const uint8_t* p) noexcept {
    const uint32_t v = uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
    return static_cast<int32_t>(v);
}

inline void PutLE32(uint8_t* p, int32_t value) noexcept {
    const auto v = static_cast<uint32_t>(value);
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

}  // namespace coding
