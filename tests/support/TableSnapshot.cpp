#include "TableSnapshot.h"

namespace kelvtest {

std::vector<std::vector<FieldValue>> TableRows(TCustomTable& table) {
    std::vector<std::vector<FieldValue>> rows;
    for (int32_t r = 0; r < table.RecordCount(); ++r) {
        table.GoToRecord(r);
        std::vector<FieldValue> row;
        for (int32_t f = 0; f < table.Fields().Count(); ++f) row.push_back(table.GetFieldValue(f));
        rows.push_back(std::move(row));
    }
    return rows;
}

bool SameRows(const std::vector<std::vector<FieldValue>>& a, const std::vector<std::vector<FieldValue>>& b) {
    if (a.size() != b.size()) return false;
    for (size_t r = 0; r < a.size(); ++r) {
        if (a[r].size() != b[r].size()) return false;
        for (size_t f = 0; f < a[r].size(); ++f) {
            const FieldValue& x = a[r][f];
            const FieldValue& y = b[r][f];
            if (x.GetKind() != y.GetKind() || x.IntValue() != y.IntValue() || x.StrValue() != y.StrValue()) return false;
        }
    }
    return true;
}

}  // namespace kelvtest
