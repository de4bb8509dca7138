#include "TextLineReader.h"

#include <cstring>

TextLineReader::TextLineReader(ITableFileSystem& fileSystem, const std::string& path, size_t blockSize)
    : file_(fileSystem.OpenForReading(path)), blockSize_(blockSize < 16 ? 16 : blockSize) {
    buf_.resize(blockSize_);
}

TextLineReader::TextLineReader(const std::string& path, size_t blockSize)
    : TextLineReader(DefaultTableFileSystem(), path, blockSize) {}

TextLineReader::~TextLineReader() = default;

bool TextLineReader::Fill() {
    if (fileDone_) return false;
    if (begin_ > 0) {
        // Keep the unread tail of a line at the front of the buffer.
        std::memmove(buf_.data(), buf_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (buf_.size() - end_ < blockSize_ / 2) buf_.resize(buf_.size() * 2);
    const size_t n = file_->Read(buf_.data() + end_, buf_.size() - end_);
    if (n == 0) {
        fileDone_ = true;
        return false;
    }
    end_ += n;
    return true;
}

bool TextLineReader::AtEnd() {
    if (begin_ == end_ && !Fill()) return true;
    return buf_[begin_] == '\x1A';
}

bool TextLineReader::NextLine(std::string_view& line) {
    if (AtEnd()) return false;
    size_t scanned = begin_;
    for (;;) {
        const void* lf = std::memchr(buf_.data() + scanned, '\n', end_ - scanned);
        if (lf != nullptr) {
            const size_t at = static_cast<size_t>(static_cast<const char*>(lf) - buf_.data());
            size_t stop = at;
            if (stop > begin_ && buf_[stop - 1] == '\r') --stop;
            line = std::string_view(buf_.data() + begin_, stop - begin_);
            begin_ = at + 1;
            return true;
        }
        const size_t offset = end_ - begin_;
        if (!Fill()) {
            size_t stop = end_;
            if (stop > begin_ && buf_[stop - 1] == '\r') --stop;
            line = std::string_view(buf_.data() + begin_, stop - begin_);
            begin_ = end_;
            return true;
        }
        scanned = begin_ + offset;
    }
}
