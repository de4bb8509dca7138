#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "CustomTable.h"
#include "TableFileSeam.h"

namespace kelvtest {

// A fresh directory per test, removed with everything in it afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    const std::filesystem::path& Dir() const { return dir_; }

private:
    std::filesystem::path dir_;
};

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
int64_t FileSize(const std::string& path);
int32_t LE32(const std::vector<uint8_t>& bytes, size_t offset);
void PutLE32(std::vector<uint8_t>& bytes, size_t offset, int32_t value);
// Number of file descriptors this process holds open.
int OpenDescriptorCount();

// Makes the resources table of the worked example: "Code" (0, 4) and
// "Name" (1, 32), no records.
void CreateResourcesFile(const std::string& path);
// The same with the given records appended in order.
void CreateResourcesFile(const std::string& path, const std::vector<std::pair<int32_t, std::string>>& records);

// Every stored record of an open table, each as the field values in field
// order, read through the cursor (which is left on the last record).
std::vector<std::vector<FieldValue>> Snapshot(TCustomTable& table);
// The same for a file, opened by a fresh table on the real file system.
std::vector<std::vector<FieldValue>> SnapshotFile(const std::string& path);
std::string Describe(const std::vector<std::vector<FieldValue>>& rows);

// The real file system with failures on demand: the Nth WriteAt or Truncate
// (counted over every file it opened, from 1 after Arm) raises EInOutError
// without touching the file. Counts live file objects so tests can tell
// whether a table still holds its file.
class FaultyFileSystem : public ITableFileSystem {
public:
    int OpenExisting(const std::string& path, std::unique_ptr<ITableFile>& out) override;
    std::unique_ptr<ITableFile> CreateOrTruncate(const std::string& path) override;

    // 0 = never fail. failEveryWrite makes every write from the Nth on fail.
    void FailWrite(int n, bool everyFromThen = false) { failWrite_ = n; failEveryWrite_ = everyFromThen; writes_ = 0; }
    void FailTruncate(int n) { failTruncate_ = n; truncates_ = 0; }
    void FailRead(bool on) { failRead_ = on; }
    void Heal() { failWrite_ = failTruncate_ = 0; failEveryWrite_ = failRead_ = false; }

    int Writes() const { return writes_; }
    int Truncates() const { return truncates_; }
    int LiveFiles() const { return liveFiles_; }

private:
    friend class FaultyFile;
    int failWrite_ = 0;
    bool failEveryWrite_ = false;
    int failTruncate_ = 0;
    bool failRead_ = false;
    int writes_ = 0;
    int truncates_ = 0;
    int liveFiles_ = 0;
};

// The message of the error of kind E that f raises; any other outcome is
// described so that a comparison with the expected text fails readably.
template <class E, class F>
std::string MessageOf(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.what();
    } catch (const std::exception& e) {
        return std::string("<other exception: ") + e.what() + ">";
    }
    return "<no exception>";
}

}  // namespace kelvtest
