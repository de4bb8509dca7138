#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The narrow seam through which the table engine touches the disk. The
// engine reads a file whole once, then only writes at offsets and truncates.
// Tests substitute their own implementation to make the Nth write or
// truncation fail.
class ITableFile {
public:
    virtual ~ITableFile() = default;
    // Reads the whole file. Raises EInOutError on failure.
    virtual std::vector<uint8_t> ReadAll() = 0;
    // Writes size bytes at offset. Raises EInOutError on failure.
    virtual void WriteAt(int64_t offset, const void* data, size_t size) = 0;
    // Cuts (or extends) the file to length bytes. Raises EInOutError on failure.
    virtual void Truncate(int64_t length) = 0;
};

class ITableFileSystem {
public:
    virtual ~ITableFileSystem() = default;
    // Opens an existing file for reading and writing. Returns 0 and sets out,
    // or returns the operating system's error code (2 for a missing file).
    virtual int OpenExisting(const std::string& path, std::unique_ptr<ITableFile>& out) = 0;
    // Creates the file, or empties it if it exists. Raises EInOutError on failure.
    virtual std::unique_ptr<ITableFile> CreateOrTruncate(const std::string& path) = 0;
};

// The real file system (POSIX files).
ITableFileSystem& DefaultTableFileSystem();
