#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "TableFileSeam.h"

class TIntegerScanner;

// Reads a text export column by column, keeping only what the import needs
// of each column, so that memory does not grow with the length of a line: a
// line of 200 MB, an export without any line end or a pipe that never ends
// cost the reader its one block buffer.
//
// The format: one record per line; lines end with a line feed, optionally
// preceded by a carriage return (a carriage return anywhere else, the last
// byte of the file included, belongs to the line); the last line needs no
// line end; a byte 0x1A at the start of a line ends the input like the end
// of the file. Columns are separated by TAB and counted from 1, with no
// quoting; a column past the line's last one is empty. The file is read
// through the file seam and closed by the destructor.
class TExportReader {
public:
    // Raises EInOutError naming the file ("File not found" for a missing one).
    TExportReader(ITableFileSystem& fileSystem, const std::string& path, size_t blockSize = 1 << 16);
    ~TExportReader();
    TExportReader(const TExportReader&) = delete;
    TExportReader& operator=(const TExportReader&) = delete;

    // Goes to the start of the next line (past whatever is left of the
    // current one); false at the end of the input.
    bool NextLine();

    // Reads on to the end of column `column` of the current line (columns are
    // asked in ascending order) and returns its first `keep` bytes, valid
    // until the next call; `length` gets the column's whole length. When
    // `scanner` is given, every byte of the column is fed to it. A column
    // before an asked one is skipped without being kept.
    std::string_view Column(int32_t column, size_t keep, uint64_t& length, TIntegerScanner* scanner = nullptr);

    // 1-based number of the current line; 0 before the first.
    int64_t LineNumber() const noexcept { return line_; }

private:
    enum class Stop { Tab, LineEnd, End };
    // Scans one column from the read position; keeps up to `keep` bytes.
    Stop ScanColumn(size_t keep, uint64_t& length, TIntegerScanner* scanner);
    void SkipLine();
    // Makes at least one unread byte available; false at the physical end.
    bool Fill();

    std::unique_ptr<ITableFile> file_;
    // Not zero-filled: only what a read puts there is ever looked at.
    std::unique_ptr<char[]> buf_;
    size_t size_;
    size_t pos_ = 0;
    size_t end_ = 0;
    bool fileDone_ = false;
    bool ended_ = false;       // the input ended (end of file or 0x1A)
    bool lineOpen_ = false;    // the current line has bytes left to read
    int32_t column_ = 0;       // columns of the current line read so far
    int64_t line_ = 0;
    std::string kept_;
};
