#include "StorageTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "KelvErrors.h"
#include "TableSnapshot.h"

namespace kelvtest {

void CreateResourcesFile(const std::string& path) { CreateResourcesFile(path, {}); }

void CreateResourcesFile(const std::string& path, const std::vector<std::pair<int32_t, std::string>>& records) {
    TCustomTable t;
    ASSERT_EQ(t.CreateTableFile(path), 0);
    ASSERT_EQ(t.Open(path), TOpenStatus::Opened);
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

std::vector<std::vector<FieldValue>> Snapshot(TCustomTable& table) { return TableRows(table); }

std::vector<std::vector<FieldValue>> SnapshotFile(const std::string& path) {
    TCustomTable t;
    EXPECT_EQ(t.Open(path), TOpenStatus::Opened);
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

}  // namespace kelvtest
