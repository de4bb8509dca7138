#include "FaultyFileSystem.h"

#include <algorithm>
#include <cerrno>
#include <new>

#include "KelvErrors.h"

namespace kelvtest {

namespace {

[[noreturn]] void Raise(int code, const char* text, const std::string& path) { throw EInOutError(code, text, path); }

}  // namespace

class FaultyFile final : public ITableFile {
public:
    FaultyFile(FaultyFileSystem& fs, std::unique_ptr<ITableFile> real, std::string path)
        : fs_(fs), real_(std::move(real)), path_(std::move(path)) {
        ++fs_.liveFiles_;
    }
    ~FaultyFile() override { --fs_.liveFiles_; }

    std::vector<uint8_t> ReadAll() override {
        CountRead();
        if (fs_.outOfMemory_) throw std::bad_alloc();
        return real_->ReadAll();
    }
    size_t Read(void* data, size_t size) override {
        CountRead();
        return real_->Read(data, size);
    }
    void WriteAt(int64_t offset, const void* data, size_t size) override {
        ++fs_.writes_;
        const bool fail = fs_.failWrite_ != 0 &&
                          (fs_.writes_ == fs_.failWrite_ || (fs_.failEveryWrite_ && fs_.writes_ > fs_.failWrite_));
        if (fail) {
            const size_t part = std::min(fs_.shortBytes_, size);
            if (part > 0) real_->WriteAt(offset, data, part);
            Raise(EIO, "injected write failure", path_);
        }
        if (fs_.room_ >= 0 && offset + static_cast<int64_t>(size) > fs_.room_) {
            const int64_t fits = std::max<int64_t>(0, fs_.room_ - offset);
            if (fits > 0) real_->WriteAt(offset, data, static_cast<size_t>(fits));
            Raise(ENOSPC, "No space left on device", path_);
        }
        real_->WriteAt(offset, data, size);
    }
    void Truncate(int64_t length) override {
        ++fs_.truncates_;
        if (fs_.failTruncate_ != 0 && fs_.truncates_ == fs_.failTruncate_) {
            Raise(EIO, "injected truncate failure", path_);
        }
        real_->Truncate(length);
    }
    void Sync() override {
        ++fs_.syncs_;
        if (fs_.failSync_ != 0 && fs_.syncs_ == fs_.failSync_) Raise(EIO, "injected sync failure", path_);
        real_->Sync();
    }
    bool TryLock() override {
        ++fs_.locks_;
        if (fs_.failLock_ != 0 && fs_.locks_ == fs_.failLock_) return false;
        return real_->TryLock();
    }
    void Close() override {
        ++fs_.closes_;
        real_->Close();
        if (fs_.failClose_ != 0 && fs_.closes_ == fs_.failClose_) Raise(EIO, "injected close failure", path_);
    }

private:
    void CountRead() {
        ++fs_.reads_;
        if (fs_.failRead_ != 0 && (fs_.reads_ == fs_.failRead_ || (fs_.failEveryRead_ && fs_.reads_ > fs_.failRead_))) {
            Raise(EIO, "injected read failure", path_);
        }
    }

    FaultyFileSystem& fs_;
    std::unique_ptr<ITableFile> real_;
    std::string path_;
};

FaultyFileSystem::FaultyFileSystem() : FaultyFileSystem(DefaultTableFileSystem()) {}

FaultyFileSystem::FaultyFileSystem(ITableFileSystem& inner) : inner_(inner) {}

std::unique_ptr<ITableFile> FaultyFileSystem::Wrap(std::unique_ptr<ITableFile> real, const std::string& path) {
    return std::make_unique<FaultyFile>(*this, std::move(real), path);
}

int FaultyFileSystem::OpenExisting(const std::string& path, TFileAccess access, std::unique_ptr<ITableFile>& out) {
    if (access == TFileAccess::ReadWrite && refuseWriteOpens_ != 0) return refuseWriteOpens_;
    std::unique_ptr<ITableFile> real;
    const int rc = inner_.OpenExisting(path, access, real);
    if (rc != 0) return rc;
    out = Wrap(std::move(real), path);
    return 0;
}

std::unique_ptr<ITableFile> FaultyFileSystem::OpenOrCreate(const std::string& path, bool& created) {
    if (refuseWriteOpens_ != 0) Raise(refuseWriteOpens_, "injected refusal to open for writing", path);
    return Wrap(inner_.OpenOrCreate(path, created), path);
}

std::unique_ptr<ITableFile> FaultyFileSystem::CreateNew(const std::string& path) {
    if (refuseWriteOpens_ != 0) Raise(refuseWriteOpens_, "injected refusal to open for writing", path);
    return Wrap(inner_.CreateNew(path), path);
}

std::unique_ptr<ITableFile> FaultyFileSystem::OpenForReading(const std::string& path) {
    return Wrap(inner_.OpenForReading(path), path);
}

void FaultyFileSystem::Remove(const std::string& path) { inner_.Remove(path); }

}  // namespace kelvtest
