#include "StorageTestSupport.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>

#include "KelvErrors.h"

namespace kelvtest {

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/kelv_storage_XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (::mkdtemp(buf.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    dir_ = buf.data();
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

int64_t FileSize(const std::string& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    return ec ? -1 : static_cast<int64_t>(size);
}

int32_t LE32(const std::vector<uint8_t>& b, size_t o) {
    return static_cast<int32_t>(uint32_t{b.at(o)} | (uint32_t{b.at(o + 1)} << 8) | (uint32_t{b.at(o + 2)} << 16) |
                                (uint32_t{b.at(o + 3)} << 24));
}

void PutLE32(std::vector<uint8_t>& b, size_t o, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) b.at(o + static_cast<size_t>(i)) = static_cast<uint8_t>(v >> (8 * i));
}

int OpenDescriptorCount() {
    int count = 0;
    if (DIR* d = ::opendir("/proc/self/fd")) {
        while (::readdir(d) != nullptr) ++count;
        ::closedir(d);
    }
    return count;
}

void CreateResourcesFile(const std::string& path) { CreateResourcesFile(path, {}); }

void CreateResourcesFile(const std::string& path, const std::vector<std::pair<int32_t, std::string>>& records) {
    TCustomTable t;
    ASSERT_EQ(t.CreateTableFile(path), 0);
    ASSERT_EQ(t.Open(path), 0);
    ASSERT_EQ(t.AddField("Code", kFieldInteger, 4), 0);
    ASSERT_EQ(t.AddField("Name", kFieldString, 32), 0);
    for (const auto& [code, name] : records) {
        t.AppendRecord();
        t.SetFieldValue("Code", code);
        t.SetFieldValue("Name", name);
        t.Post();
    }
    t.Close();
}

std::vector<std::vector<FieldValue>> Snapshot(TCustomTable& table) {
    std::vector<std::vector<FieldValue>> rows;
    for (int32_t r = 0; r < table.RecordCount(); ++r) {
        table.GoToRecord(r);
        std::vector<FieldValue> row;
        for (int32_t f = 0; f < table.Fields().Count(); ++f) row.push_back(table.GetFieldValue(f));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<std::vector<FieldValue>> SnapshotFile(const std::string& path) {
    TCustomTable t;
    EXPECT_EQ(t.Open(path), 0);
    return Snapshot(t);
}

std::string Describe(const std::vector<std::vector<FieldValue>>& rows) {
    std::ostringstream out;
    for (const auto& row : rows) {
        out << '[';
        for (size_t i = 0; i < row.size(); ++i) out << (i ? "|" : "") << row[i].AsString();
        out << ']';
    }
    return out.str();
}

class FaultyFile final : public ITableFile {
public:
    FaultyFile(FaultyFileSystem& fs, std::unique_ptr<ITableFile> real) : fs_(fs), real_(std::move(real)) {
        ++fs_.liveFiles_;
    }
    ~FaultyFile() override { --fs_.liveFiles_; }

    std::vector<uint8_t> ReadAll() override {
        if (fs_.failRead_) throw EInOutError(5, "injected read failure");
        return real_->ReadAll();
    }
    void WriteAt(int64_t offset, const void* data, size_t size) override {
        ++fs_.writes_;
        if (fs_.failWrite_ != 0 && (fs_.writes_ == fs_.failWrite_ || (fs_.failEveryWrite_ && fs_.writes_ > fs_.failWrite_))) {
            throw EInOutError(28, "injected write failure");
        }
        real_->WriteAt(offset, data, size);
    }
    void Truncate(int64_t length) override {
        ++fs_.truncates_;
        if (fs_.failTruncate_ != 0 && fs_.truncates_ == fs_.failTruncate_) {
            throw EInOutError(5, "injected truncate failure");
        }
        real_->Truncate(length);
    }

private:
    FaultyFileSystem& fs_;
    std::unique_ptr<ITableFile> real_;
};

int FaultyFileSystem::OpenExisting(const std::string& path, std::unique_ptr<ITableFile>& out) {
    std::unique_ptr<ITableFile> real;
    const int rc = DefaultTableFileSystem().OpenExisting(path, real);
    if (rc != 0) return rc;
    out = std::make_unique<FaultyFile>(*this, std::move(real));
    return 0;
}

std::unique_ptr<ITableFile> FaultyFileSystem::CreateOrTruncate(const std::string& path) {
    return std::make_unique<FaultyFile>(*this, DefaultTableFileSystem().CreateOrTruncate(path));
}

}  // namespace kelvtest
