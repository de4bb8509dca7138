#include "TableFileSeam.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

#include "KelvErrors.h"

namespace {

[[noreturn]] void ThrowErrno(int code, const std::string& path) {
    EInOutError error = EInOutError::FromCode(code);
    error.SetContext(path);
    throw error;
}

class PosixTableFile final : public ITableFile {
public:
    PosixTableFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~PosixTableFile() override {
        // Everything was written with pwrite already; there is nothing a
        // caller could do about a failing close here.
        ::close(fd_);
    }
    PosixTableFile(const PosixTableFile&) = delete;
    PosixTableFile& operator=(const PosixTableFile&) = delete;

    std::vector<uint8_t> ReadAll() override {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) ThrowErrno(errno, path_);
        if (st.st_size < 0 || static_cast<uint64_t>(st.st_size) > std::numeric_limits<int32_t>::max()) {
            // Positions in a table file are signed 32-bit numbers.
            ThrowErrno(EFBIG, path_);
        }
        std::vector<uint8_t> data(static_cast<size_t>(st.st_size));
        size_t done = 0;
        while (done < data.size()) {
            const ssize_t got = ::pread(fd_, data.data() + done, data.size() - done, static_cast<off_t>(done));
            if (got < 0) {
                if (errno == EINTR) continue;
                ThrowErrno(errno, path_);
            }
            if (got == 0) break;  // the file shrank under us: keep what we got
            done += static_cast<size_t>(got);
        }
        data.resize(done);
        return data;
    }

    size_t Read(void* data, size_t size) override {
        for (;;) {
            const ssize_t got = ::read(fd_, data, size);
            if (got >= 0) return static_cast<size_t>(got);
            if (errno != EINTR) ThrowErrno(errno, path_);
        }
    }

    void WriteAt(int64_t offset, const void* data, size_t size) override {
        const auto* p = static_cast<const uint8_t*>(data);
        size_t done = 0;
        while (done < size) {
            const ssize_t put = ::pwrite(fd_, p + done, size - done, static_cast<off_t>(offset + static_cast<int64_t>(done)));
            if (put < 0) {
                if (errno == EINTR) continue;
                ThrowErrno(errno, path_);
            }
            if (put == 0) ThrowErrno(ENOSPC, path_);
            done += static_cast<size_t>(put);
        }
    }

    void Truncate(int64_t length) override {
        while (::ftruncate(fd_, static_cast<off_t>(length)) != 0) {
            if (errno != EINTR) ThrowErrno(errno, path_);
        }
    }

private:
    int fd_;
    std::string path_;
};

class PosixTableFileSystem final : public ITableFileSystem {
public:
    int OpenExisting(const std::string& path, std::unique_ptr<ITableFile>& out) override {
        const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) return errno != 0 ? errno : EIO;
        out = std::make_unique<PosixTableFile>(fd, path);
        return 0;
    }

    std::unique_ptr<ITableFile> CreateOrTruncate(const std::string& path) override {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0) ThrowErrno(errno, path);
        return std::make_unique<PosixTableFile>(fd, path);
    }

    std::unique_ptr<ITableFile> OpenForReading(const std::string& path) override {
        int fd;
        do {
            fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) ThrowErrno(errno, path);
        return std::make_unique<PosixTableFile>(fd, path);
    }
};

}  // namespace

ITableFileSystem& DefaultTableFileSystem() {
    static PosixTableFileSystem fileSystem;
    return fileSystem;
}
