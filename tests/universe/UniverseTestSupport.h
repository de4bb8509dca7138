#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CustomTable.h"

// A fresh directory per test, removed afterwards.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kelv-universe-XXXXXX").string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (mkdtemp(buf.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = std::string(buf.data()) + "/";
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + name; }

    // Writes bytes exactly as given (no line-end translation).
    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::string p = File(name);
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return p;
    }

private:
    std::string path_;
};

inline uintmax_t FileSize(const std::string& path) { return std::filesystem::file_size(path); }

// Reads integer field f of every record, in record order.
inline std::vector<int32_t> Column(TCustomTable& t, const char* f) {
    std::vector<int32_t> out;
    for (int32_t i = 0; i < t.RecordCount(); ++i) {
        t.GoToRecord(i);
        out.push_back(t.GetFieldValue(f).AsInteger());
    }
    return out;
}

inline std::vector<std::string> TextColumn(TCustomTable& t, const char* f) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < t.RecordCount(); ++i) {
        t.GoToRecord(i);
        out.push_back(t.GetFieldValue(f).AsString());
    }
    return out;
}
