#include "Files.h"

#include <dirent.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace kelvtest {

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteText(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path);
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    WriteText(path, std::string(bytes.begin(), bytes.end()));
}

int64_t FileSize(const std::string& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    return ec ? -1 : static_cast<int64_t>(size);
}

int32_t LE32(const std::vector<uint8_t>& b, size_t o) {
    return static_cast<int32_t>(uint32_t{b.at(o)} | (uint32_t{b.at(o + 1)} << 8) | (uint32_t{b.at(o + 2)} << 16) |
                                (uint32_t{b.at(o + 3)} << 24));
}

void PutLE32(std::vector<uint8_t>& b, size_t o, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) b.at(o + static_cast<size_t>(i)) = static_cast<uint8_t>(v >> (8 * i));
}

int OpenDescriptorCount() {
    int count = 0;
    if (DIR* d = ::opendir("/proc/self/fd")) {
        while (::readdir(d) != nullptr) ++count;
        ::closedir(d);
    }
    return count;
}

}  // namespace kelvtest
