#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "CustomTable.h"
#include "FaultyFileSystem.h"
#include "Printers.h"
#include "Files.h"
#include "TableFileSeam.h"
#include "TempDir.h"

namespace kelvtest {

// Makes the resources table of the worked example: "Code" (0, 4) and
// "Name" (1, 32), no records.
void CreateResourcesFile(const std::string& path);
// The same with the given records appended in order.
void CreateResourcesFile(const std::string& path, const std::vector<std::pair<int32_t, std::string>>& records);

// Every stored record of an open table, each as the field values in field
// order, read through the cursor (which is left on the last record).
std::vector<std::vector<FieldValue>> Snapshot(TCustomTable& table);
// The same for a file, opened by a fresh table on the real file system.
std::vector<std::vector<FieldValue>> SnapshotFile(const std::string& path);
std::string Describe(const std::vector<std::vector<FieldValue>>& rows);

// The message of the error of kind E that f raises; any other outcome is
// described so that a comparison with the expected text fails readably.
template <class E, class F>
std::string MessageOf(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.what();
    } catch (const std::exception& e) {
        return std::string("<other exception: ") + e.what() + ">";
    }
    return "<no exception>";
}

}  // namespace kelvtest
