#include "ExportReader.h"

#include <algorithm>
#include <cstring>

#include "Needs.h"

namespace {

constexpr char kTab = '\t';
constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
constexpr char kEndOfInput = '\x1A';

}  // namespace

TExportReader::TExportReader(ITableFileSystem& fileSystem, const std::string& path, size_t blockSize)
    : file_(fileSystem.OpenForReading(path)),
      buf_(std::make_unique_for_overwrite<char[]>(blockSize < 16 ? 16 : blockSize)),
      size_(blockSize < 16 ? 16 : blockSize) {}

TExportReader::~TExportReader() = default;

bool TExportReader::Fill() {
    if (pos_ < end_) return true;
    if (fileDone_) return false;
    pos_ = 0;
    end_ = file_->Read(buf_.get(), size_);
    if (end_ == 0) fileDone_ = true;
    return end_ > 0;
}

bool TExportReader::NextLine() {
    if (lineOpen_) SkipLine();
    if (ended_ || !Fill() || buf_[pos_] == kEndOfInput) {
        ended_ = true;
        return false;
    }
    lineOpen_ = true;
    column_ = 0;
    ++line_;
    return true;
}

void TExportReader::SkipLine() {
    while (Fill()) {
        const void* lf = std::memchr(buf_.get() + pos_, kLineFeed, end_ - pos_);
        if (lf != nullptr) {
            pos_ = static_cast<size_t>(static_cast<const char*>(lf) - buf_.get()) + 1;
            lineOpen_ = false;
            return;
        }
        pos_ = end_;
    }
    lineOpen_ = false;
}

TExportReader::Stop TExportReader::ScanColumn(size_t keep, uint64_t& length, TIntegerScanner* scanner) {
    kept_.clear();
    length = 0;
    auto take = [&](const char* from, size_t n) {
        if (kept_.size() < keep) kept_.append(from, std::min(n, keep - kept_.size()));
        if (scanner != nullptr && !scanner->Failed()) {
            for (size_t i = 0; i < n && scanner->Feed(from[i]); ++i) {
            }
        }
        length += n;
    };
    while (Fill()) {
        // The run of column bytes up to the next TAB, line feed or carriage
        // return in the buffer.
        const char* from = buf_.get() + pos_;
        const char* const last = buf_.get() + end_;
        const char* stop = from;
        while (stop < last && *stop != kTab && *stop != kLineFeed && *stop != kCarriageReturn) ++stop;
        take(from, static_cast<size_t>(stop - from));
        pos_ += static_cast<size_t>(stop - from);
        if (stop == last) continue;
        const char c = buf_[pos_++];
        if (c == kTab) return Stop::Tab;
        if (c == kLineFeed) return Stop::LineEnd;
        // A carriage return ends the line only right before a line feed.
        if (Fill() && buf_[pos_] == kLineFeed) {
            ++pos_;
            return Stop::LineEnd;
        }
        take(&c, 1);
    }
    return Stop::End;
}

std::string_view TExportReader::Column(int32_t column, size_t keep, uint64_t& length, TIntegerScanner* scanner) {
    length = 0;
    kept_.clear();
    while (lineOpen_ && column_ < column) {
        const bool wanted = column_ + 1 == column;
        const Stop stop = wanted ? ScanColumn(keep, length, scanner) : ScanColumn(0, length, nullptr);
        ++column_;
        if (stop != Stop::Tab) lineOpen_ = false;
        if (wanted) return kept_;
    }
    // Past the line's last column: the column is empty.
    length = 0;
    kept_.clear();
    return kept_;
}
