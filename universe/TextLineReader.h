#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "TableFileSeam.h"

// Reads a text export line by line in large blocks. Lines end with LF,
// optionally preceded by CR (also accepted before the physical end of the
// file); a 0x1A byte at the start of a line ends the input. Lines may be of
// any length. The file is read through the file seam and closed by the
// destructor.
class TextLineReader {
public:
    // Raises EInOutError (the operating system's error, "File not found" for
    // a missing file) when the file cannot be opened.
    TextLineReader(ITableFileSystem& fileSystem, const std::string& path, size_t blockSize = 1 << 20);
    explicit TextLineReader(const std::string& path, size_t blockSize = 1 << 20);
    ~TextLineReader();
    TextLineReader(const TextLineReader&) = delete;
    TextLineReader& operator=(const TextLineReader&) = delete;

    // True when no further line can be read.
    bool AtEnd();
    // Sets line to the next line without its line end and returns true, or
    // returns false at the end of the input. The view stays valid until the
    // next call. Raises EInOutError on a read error.
    bool NextLine(std::string_view& line);

private:
    // Reads more bytes behind the unread ones; false at the physical end.
    bool Fill();

    std::unique_ptr<ITableFile> file_;
    size_t blockSize_;
    std::vector<char> buf_;
    size_t begin_ = 0;   // first unread byte
    size_t end_ = 0;     // one past the last byte read
    bool fileDone_ = false;
};
