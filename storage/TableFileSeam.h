#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The narrow seam through which the table engine and the import's text
// reader touch the disk. The engine reads a table file whole once, then only
// writes at offsets and truncates; the text reader reads an export from its
// start to its end. Tests, fuzz targets and benchmarks substitute their own
// file system (in memory, or one that fails the Nth call).
//
// Every failure raises EInOutError carrying the operating system's error
// number, its text and the file's path as the error's file.
class ITableFile {
public:
    virtual ~ITableFile() = default;
    // Reads the whole file.
    virtual std::vector<uint8_t> ReadAll() = 0;
    // Reads up to size bytes from the current position on and moves past
    // them; returns how many were read, 0 at the end of the file. Works on
    // pipes and other streams as well as on regular files.
    virtual size_t Read(void* data, size_t size) = 0;
    // Writes size bytes at offset, all of them or raises.
    virtual void WriteAt(int64_t offset, const void* data, size_t size) = 0;
    // Cuts (or extends) the file to length bytes.
    virtual void Truncate(int64_t length) = 0;
};

class ITableFileSystem {
public:
    virtual ~ITableFileSystem() = default;
    // Opens an existing file for reading and writing. Returns 0 and sets out,
    // or returns the operating system's error code (2 for a missing file).
    virtual int OpenExisting(const std::string& path, std::unique_ptr<ITableFile>& out) = 0;
    // Creates the file, or empties it if it exists.
    virtual std::unique_ptr<ITableFile> CreateOrTruncate(const std::string& path) = 0;
    // Opens a file for reading only, positioned at its start ("File not
    // found" for a missing one).
    virtual std::unique_ptr<ITableFile> OpenForReading(const std::string& path) = 0;
};

// The real file system (POSIX files).
ITableFileSystem& DefaultTableFileSystem();
