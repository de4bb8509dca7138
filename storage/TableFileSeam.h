#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The narrow seam through which the table engine and the import's text
// reader touch the disk. The engine reads a table file whole once, then only
// writes at offsets, truncates, flushes and closes; the text reader reads an
// export from its start to its end. Tests, fuzz targets and benchmarks
// substitute their own file system (in memory, or one that fails the Nth
// call).
//
// Every failure raises EInOutError carrying the operating system's error
// number, its text and the file's path as the error's file.

// How an existing file is opened.
enum class TFileAccess { ReadWrite, ReadOnly };

class ITableFile {
public:
    // Closes the file if Close has not; a failure then goes unreported, so
    // a writer calls Close to learn it.
    virtual ~ITableFile() = default;
    // Reads the whole file. A file larger than the table format's 2 GiB
    // raises EInOutError with code EFBIG before anything is read.
    virtual std::vector<uint8_t> ReadAll() = 0;
    // Reads up to size bytes from the current position on and moves past
    // them; returns how many were read, 0 at the end of the file. Works on
    // pipes and other streams as well as on regular files.
    virtual size_t Read(void* data, size_t size) = 0;
    // Writes size bytes at offset, all of them or raises. A write that fails
    // part-way (a full disk, a file-size limit) may have written some of them.
    virtual void WriteAt(int64_t offset, const void* data, size_t size) = 0;
    // Cuts (or extends) the file to length bytes.
    virtual void Truncate(int64_t length) = 0;
    // Flushes what was written to the disk (fsync).
    virtual void Sync() = 0;
    // Takes the advisory write lock of the file without waiting
    // (flock LOCK_EX | LOCK_NB on this open file). Returns false when another
    // open file holds it (another process, or another open of the same file
    // in this one). The lock goes with Close or the destructor.
    virtual bool TryLock() = 0;
    // Closes the file, reporting a failing close by raising; the file is
    // closed either way and every later call fails ("File not open" or the
    // system's EBADF).
    virtual void Close() = 0;
};

class ITableFileSystem {
public:
    virtual ~ITableFileSystem() = default;
    // Opens an existing file, for reading and writing or for reading only.
    // Returns 0 and sets out, or returns the operating system's error code
    // (2 for a missing file, 13 EACCES / 30 EROFS / 1 EPERM for a file that
    // cannot be written).
    virtual int OpenExisting(const std::string& path, TFileAccess access, std::unique_ptr<ITableFile>& out) = 0;
    // Opens the file for reading and writing, creating it (empty) when it does
    // not exist; an existing file keeps its bytes. created tells which.
    virtual std::unique_ptr<ITableFile> OpenOrCreate(const std::string& path, bool& created) = 0;
    // Creates a new, empty file for reading and writing; raises EEXIST when
    // the path exists already.
    virtual std::unique_ptr<ITableFile> CreateNew(const std::string& path) = 0;
    // Opens a file for reading only, positioned at its start ("File not
    // found" for a missing one).
    virtual std::unique_ptr<ITableFile> OpenForReading(const std::string& path) = 0;
    // Removes the file.
    virtual void Remove(const std::string& path) = 0;
};

// The real file system (POSIX files). Its first use has the process ignore
// SIGXFSZ (unless a handler is set), so that a write past the file-size limit
// (ulimit -f) fails with EFBIG and is undone like a full disk, instead of
// killing the process in the middle of a record.
ITableFileSystem& DefaultTableFileSystem();
