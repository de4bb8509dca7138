#include "MemoryFileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "KelvErrors.h"

namespace kelvtest {

namespace {

constexpr int64_t kLimit = int64_t{1} << 31;

[[noreturn]] void Raise(int code, const std::string& path) {
    EInOutError error = EInOutError::FromCode(code);
    error.SetContext(path);
    throw error;
}

class MemoryFile final : public ITableFile {
public:
    MemoryFile(std::shared_ptr<std::vector<uint8_t>> bytes, std::string path)
        : bytes_(std::move(bytes)), path_(std::move(path)) {}

    std::vector<uint8_t> ReadAll() override { return *bytes_; }

    size_t Read(void* data, size_t size) override {
        const size_t left = pos_ < bytes_->size() ? bytes_->size() - pos_ : 0;
        const size_t n = std::min(size, left);
        if (n > 0) std::memcpy(data, bytes_->data() + pos_, n);
        pos_ += n;
        return n;
    }

    void WriteAt(int64_t offset, const void* data, size_t size) override {
        if (offset < 0 || offset + static_cast<int64_t>(size) > kLimit) Raise(EFBIG, path_);
        const auto end = static_cast<size_t>(offset) + size;
        if (bytes_->size() < end) bytes_->resize(end);
        if (size > 0) std::memcpy(bytes_->data() + offset, data, size);
    }

    void Truncate(int64_t length) override {
        if (length < 0 || length > kLimit) Raise(EINVAL, path_);
        bytes_->resize(static_cast<size_t>(length));
    }

private:
    std::shared_ptr<std::vector<uint8_t>> bytes_;
    std::string path_;
    size_t pos_ = 0;
};

}  // namespace

int MemoryFileSystem::OpenExisting(const std::string& path, std::unique_ptr<ITableFile>& out) {
    const auto it = files_.find(path);
    if (it == files_.end()) return ENOENT;
    out = std::make_unique<MemoryFile>(it->second, path);
    return 0;
}

std::unique_ptr<ITableFile> MemoryFileSystem::CreateOrTruncate(const std::string& path) {
    Bytes_& bytes = files_[path];
    if (!bytes) bytes = std::make_shared<std::vector<uint8_t>>();
    bytes->clear();
    return std::make_unique<MemoryFile>(bytes, path);
}

std::unique_ptr<ITableFile> MemoryFileSystem::OpenForReading(const std::string& path) {
    const auto it = files_.find(path);
    if (it == files_.end()) Raise(ENOENT, path);
    return std::make_unique<MemoryFile>(it->second, path);
}

void MemoryFileSystem::Put(const std::string& path, std::vector<uint8_t> bytes) {
    files_[path] = std::make_shared<std::vector<uint8_t>>(std::move(bytes));
}

void MemoryFileSystem::Put(const std::string& path, const std::string& bytes) {
    Put(path, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

std::vector<uint8_t> MemoryFileSystem::Bytes(const std::string& path) const {
    const auto it = files_.find(path);
    return it == files_.end() ? std::vector<uint8_t>() : *it->second;
}

}  // namespace kelvtest
