#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelvtest {

// Whole-file reads and writes, byte for byte. A file that cannot be read
// reads as empty; a failed write raises std::runtime_error.
std::vector<uint8_t> ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
void WriteText(const std::string& path, const std::string& bytes);
// The file's size in bytes; -1 when it does not exist.
int64_t FileSize(const std::string& path);

// The table format's little-endian 32-bit integers inside a byte image.
int32_t LE32(const std::vector<uint8_t>& bytes, size_t offset);
void PutLE32(std::vector<uint8_t>& bytes, size_t offset, int32_t value);

// Number of file descriptors this process holds open.
int OpenDescriptorCount();

}  // namespace kelvtest
