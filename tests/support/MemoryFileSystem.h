#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "TableFileSeam.h"

namespace kelvtest {

// Files held in memory, by path: a table or an export without a disk.
// Handles share the file's bytes, so what one handle writes the next reads.
// Offsets and lengths beyond the table format's 2 GiB raise EInOutError. A
// handle opened for reading refuses writes (EBADF); the lock of a file is
// held by at most one handle, until it is closed or destroyed.
class MemoryFileSystem final : public ITableFileSystem {
public:
    MemoryFileSystem() = default;

    int OpenExisting(const std::string& path, TFileAccess access, std::unique_ptr<ITableFile>& out) override;
    std::unique_ptr<ITableFile> OpenOrCreate(const std::string& path, bool& created) override;
    std::unique_ptr<ITableFile> CreateNew(const std::string& path) override;
    std::unique_ptr<ITableFile> OpenForReading(const std::string& path) override;
    void Remove(const std::string& path) override;

    // Puts a file with these bytes (replacing one of that path).
    void Put(const std::string& path, std::vector<uint8_t> bytes);
    void Put(const std::string& path, const std::string& bytes);
    // The file's bytes; empty when there is no such file.
    std::vector<uint8_t> Bytes(const std::string& path) const;
    bool Exists(const std::string& path) const { return files_.count(path) != 0; }

    struct Entry {
        std::vector<uint8_t> bytes;
        const void* lockHolder = nullptr;
    };

private:
    std::map<std::string, std::shared_ptr<Entry>> files_;
};

}  // namespace kelvtest
