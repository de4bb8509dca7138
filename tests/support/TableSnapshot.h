#pragma once

#include <vector>

#include "CustomTable.h"

namespace kelvtest {

// Every stored record of an open table, each as its field values in field
// order, read through the cursor (which is left on the last record).
std::vector<std::vector<FieldValue>> TableRows(TCustomTable& table);

// Whether two such snapshots hold the same values (kind, number and text).
bool SameRows(const std::vector<std::vector<FieldValue>>& a, const std::vector<std::vector<FieldValue>>& b);

}  // namespace kelvtest
