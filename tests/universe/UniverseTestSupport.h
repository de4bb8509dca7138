#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CustomTable.h"
#include "Printers.h"
#include "TempDir.h"

using kelvtest::TempDir;

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
