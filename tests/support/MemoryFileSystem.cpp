#include "MemoryFileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "KelvErrors.h"

namespace kelvtest {

namespace {

constexpr int64_t kLimit = int64_t{1} << 31;

[[noreturn]] void Raise(int code, const std::string& path) { throw EInOutError::FromCode(code, path); }

class MemoryFile final : public ITableFile {
public:
    MemoryFile(std::shared_ptr<MemoryFileSystem::Entry> entry, std::string path, bool writable)
        : entry_(std::move(entry)), path_(std::move(path)), writable_(writable) {}
    ~MemoryFile() override { Unlock(); }

    std::vector<uint8_t> ReadAll() override {
        RequireOpen();
        return entry_->bytes;
    }

    size_t Read(void* data, size_t size) override {
        RequireOpen();
        const std::vector<uint8_t>& bytes = entry_->bytes;
        const size_t left = pos_ < bytes.size() ? bytes.size() - pos_ : 0;
        const size_t n = std::min(size, left);
        if (n > 0) std::memcpy(data, bytes.data() + pos_, n);
        pos_ += n;
        return n;
    }

    void WriteAt(int64_t offset, const void* data, size_t size) override {
        RequireWritable();
        if (offset < 0 || offset + static_cast<int64_t>(size) > kLimit) Raise(EFBIG, path_);
        std::vector<uint8_t>& bytes = entry_->bytes;
        const auto end = static_cast<size_t>(offset) + size;
        if (bytes.size() < end) bytes.resize(end);
        if (size > 0) std::memcpy(bytes.data() + offset, data, size);
    }

    void Truncate(int64_t length) override {
        RequireWritable();
        if (length < 0 || length > kLimit) Raise(EINVAL, path_);
        entry_->bytes.resize(static_cast<size_t>(length));
    }

    void Sync() override { RequireOpen(); }

    bool TryLock() override {
        RequireOpen();
        if (entry_->lockHolder != nullptr && entry_->lockHolder != this) return false;
        entry_->lockHolder = this;
        return true;
    }

    void Close() override {
        Unlock();
        open_ = false;
    }

private:
    void RequireOpen() const {
        if (!open_) Raise(EBADF, path_);
    }
    void RequireWritable() const {
        RequireOpen();
        if (!writable_) Raise(EBADF, path_);
    }
    void Unlock() noexcept {
        if (entry_->lockHolder == this) entry_->lockHolder = nullptr;
    }

    std::shared_ptr<MemoryFileSystem::Entry> entry_;
    std::string path_;
    bool writable_;
    bool open_ = true;
    size_t pos_ = 0;
};

}  // namespace

int MemoryFileSystem::OpenExisting(const std::string& path, TFileAccess access, std::unique_ptr<ITableFile>& out) {
    const auto it = files_.find(path);
    if (it == files_.end()) return ENOENT;
    out = std::make_unique<MemoryFile>(it->second, path, access == TFileAccess::ReadWrite);
    return 0;
}

std::unique_ptr<ITableFile> MemoryFileSystem::OpenOrCreate(const std::string& path, bool& created) {
    std::shared_ptr<Entry>& entry = files_[path];
    created = !entry;
    if (!entry) entry = std::make_shared<Entry>();
    return std::make_unique<MemoryFile>(entry, path, true);
}

std::unique_ptr<ITableFile> MemoryFileSystem::CreateNew(const std::string& path) {
    if (Exists(path)) Raise(EEXIST, path);
    bool created = false;
    return OpenOrCreate(path, created);
}

std::unique_ptr<ITableFile> MemoryFileSystem::OpenForReading(const std::string& path) {
    std::unique_ptr<ITableFile> file;
    const int rc = OpenExisting(path, TFileAccess::ReadOnly, file);
    if (rc != 0) Raise(rc, path);
    return file;
}

void MemoryFileSystem::Remove(const std::string& path) {
    if (files_.erase(path) == 0) Raise(ENOENT, path);
}

void MemoryFileSystem::Put(const std::string& path, std::vector<uint8_t> bytes) {
    auto entry = std::make_shared<Entry>();
    entry->bytes = std::move(bytes);
    files_[path] = std::move(entry);
}

void MemoryFileSystem::Put(const std::string& path, const std::string& bytes) {
    Put(path, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

std::vector<uint8_t> MemoryFileSystem::Bytes(const std::string& path) const {
    const auto it = files_.find(path);
    return it == files_.end() ? std::vector<uint8_t>() : it->second->bytes;
}

}  // namespace kelvtest
