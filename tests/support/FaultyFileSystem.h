#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "TableFileSeam.h"

namespace kelvtest {

// Another file system (the real one unless told otherwise) with failures on
// demand, for proving that a failed call loses nothing. Calls are counted
// over every file the system opened, from 1 after the last Fail or Heal:
// the Nth WriteAt, Truncate, read (ReadAll or Read), Sync or Close raises
// EInOutError without touching the file ("injected ... failure"; a failing
// Close still closes the file), or with everyFromThen every call from the
// Nth on. The Nth TryLock answers that another process holds the lock. A
// short write first writes part of its bytes, as a full disk or a file-size
// limit does. With a room limit, a write that would end past `room` bytes
// writes what fits and raises ENOSPC ("No space left on device"). With write
// opens refused, opening an existing file for writing fails with the given
// error number (EACCES, EROFS), as for a read-only file or medium. Out of
// memory, ReadAll raises std::bad_alloc, as for a file too large to hold.
class FaultyFileSystem : public ITableFileSystem {
public:
    FaultyFileSystem();
    explicit FaultyFileSystem(ITableFileSystem& inner);

    int OpenExisting(const std::string& path, TFileAccess access, std::unique_ptr<ITableFile>& out) override;
    std::unique_ptr<ITableFile> OpenOrCreate(const std::string& path, bool& created) override;
    std::unique_ptr<ITableFile> CreateNew(const std::string& path) override;
    std::unique_ptr<ITableFile> OpenForReading(const std::string& path) override;
    void Remove(const std::string& path) override;

    // 0 = never fail.
    void FailWrite(int n, bool everyFromThen = false) { failWrite_ = n; failEveryWrite_ = everyFromThen; writes_ = 0; }
    void FailTruncate(int n) { failTruncate_ = n; truncates_ = 0; }
    void FailReadAt(int n) { failRead_ = n; reads_ = 0; }
    void FailRead(bool on) { FailReadAt(on ? 1 : 0); failEveryRead_ = on; }
    void FailSync(int n) { failSync_ = n; syncs_ = 0; }
    void FailClose(int n) { failClose_ = n; closes_ = 0; }
    void FailLock(int n) { failLock_ = n; locks_ = 0; }
    void RefuseWriteOpens(int code) { refuseWriteOpens_ = code; }
    void OutOfMemory(bool on) { outOfMemory_ = on; }
    // A failing write writes its first `bytes` bytes before it raises.
    void ShortWrites(size_t bytes) { shortBytes_ = bytes; }
    void SetRoom(int64_t bytes) { room_ = bytes; }
    void Heal() {
        failWrite_ = failTruncate_ = failRead_ = failSync_ = failClose_ = failLock_ = refuseWriteOpens_ = 0;
        failEveryWrite_ = failEveryRead_ = outOfMemory_ = false;
        shortBytes_ = 0;
        room_ = -1;
    }

    int Writes() const { return writes_; }
    int Truncates() const { return truncates_; }
    int Reads() const { return reads_; }
    int Syncs() const { return syncs_; }
    int Closes() const { return closes_; }
    int LiveFiles() const { return liveFiles_; }

private:
    friend class FaultyFile;
    std::unique_ptr<ITableFile> Wrap(std::unique_ptr<ITableFile> real, const std::string& path);

    ITableFileSystem& inner_;
    int failWrite_ = 0;
    bool failEveryWrite_ = false;
    int failTruncate_ = 0;
    int failRead_ = 0;
    bool failEveryRead_ = false;
    int failSync_ = 0;
    int failClose_ = 0;
    int failLock_ = 0;
    int refuseWriteOpens_ = 0;
    bool outOfMemory_ = false;
    size_t shortBytes_ = 0;
    int64_t room_ = -1;
    int writes_ = 0;
    int truncates_ = 0;
    int reads_ = 0;
    int syncs_ = 0;
    int closes_ = 0;
    int locks_ = 0;
    int liveFiles_ = 0;
};

}  // namespace kelvtest
