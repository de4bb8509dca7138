#include "TableFileSeam.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "KelvErrors.h"
#include "TableFormat.h"

namespace {

[[noreturn]] void ThrowErrno(int code, const std::string& path) { throw EInOutError::FromCode(code, path); }

int OpenRetrying(const std::string& path, int flags) {
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

class PosixTableFile final : public ITableFile {
public:
    PosixTableFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~PosixTableFile() override {
        if (fd_ >= 0) ::close(fd_);
    }
    PosixTableFile(const PosixTableFile&) = delete;
    PosixTableFile& operator=(const PosixTableFile&) = delete;

    std::vector<uint8_t> ReadAll() override {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) ThrowErrno(errno, path_);
        // Checked before anything is allocated: positions in a table file are
        // signed 32-bit numbers.
        if (st.st_size < 0 || st.st_size > table_format::kMaxFileSize) ThrowErrno(EFBIG, path_);
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

    void Sync() override {
        while (::fsync(fd_) != 0) {
            if (errno != EINTR) ThrowErrno(errno, path_);
        }
    }

    bool TryLock() override {
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK) return false;
            if (errno != EINTR) ThrowErrno(errno, path_);
        }
        return true;
    }

    void Close() override {
        if (fd_ < 0) return;
        const int fd = fd_;
        fd_ = -1;
        // On Linux the descriptor is gone even when close fails, so it is
        // never retried; EINTR says nothing about the data (Sync did).
        if (::close(fd) != 0 && errno != EINTR) ThrowErrno(errno, path_);
    }

private:
    int fd_;
    std::string path_;
};

class PosixTableFileSystem final : public ITableFileSystem {
public:
    PosixTableFileSystem() {
        struct sigaction current {};
        if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
            std::signal(SIGXFSZ, SIG_IGN);
        }
    }

    int OpenExisting(const std::string& path, TFileAccess access, std::unique_ptr<ITableFile>& out) override {
        const int fd = OpenRetrying(path, access == TFileAccess::ReadWrite ? O_RDWR : O_RDONLY);
        if (fd < 0) return errno != 0 ? errno : EIO;
        out = std::make_unique<PosixTableFile>(fd, path);
        return 0;
    }

    std::unique_ptr<ITableFile> OpenOrCreate(const std::string& path, bool& created) override {
        // O_EXCL first, so that `created` is certain even when another process
        // creates or removes the file at the same moment.
        for (;;) {
            int fd = OpenRetrying(path, O_RDWR | O_CREAT | O_EXCL);
            if (fd >= 0) {
                created = true;
                return std::make_unique<PosixTableFile>(fd, path);
            }
            if (errno != EEXIST) ThrowErrno(errno, path);
            fd = OpenRetrying(path, O_RDWR);
            if (fd >= 0) {
                created = false;
                return std::make_unique<PosixTableFile>(fd, path);
            }
            if (errno != ENOENT) ThrowErrno(errno, path);
        }
    }

    std::unique_ptr<ITableFile> CreateNew(const std::string& path) override {
        const int fd = OpenRetrying(path, O_RDWR | O_CREAT | O_EXCL);
        if (fd < 0) ThrowErrno(errno, path);
        return std::make_unique<PosixTableFile>(fd, path);
    }

    std::unique_ptr<ITableFile> OpenForReading(const std::string& path) override {
        const int fd = OpenRetrying(path, O_RDONLY);
        if (fd < 0) ThrowErrno(errno, path);
        return std::make_unique<PosixTableFile>(fd, path);
    }

    void Remove(const std::string& path) override {
        if (::unlink(path.c_str()) != 0) ThrowErrno(errno, path);
    }
};

}  // namespace

ITableFileSystem& DefaultTableFileSystem() {
    static PosixTableFileSystem fileSystem;
    return fileSystem;
}
