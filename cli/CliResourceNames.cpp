#include "CliResourceNames.h"

#include <algorithm>
#include <vector>

#include "Cp1251.h"
#include "KelvErrors.h"

void RequireResourceName(TResources& resources, const std::string& name) {
    if (name.empty()) return;
    std::vector<std::string> names;
    for (int32_t r = 0; r < resources.RecordCount(); ++r) {
        resources.GoToRecord(r);
        names.push_back(resources.GetFieldValue("Name").AsString());
        // Compared byte for byte, as the map compares it with its tallies.
        if (names.back() == name) return;
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    std::string hint = names.empty() ? "the table holds no resources" : "the resources are:";
    for (const std::string& each : names) hint += "\n  " + Cp1251ForMessage(each);
    throw EKelvError("no resource is named '" + Cp1251ForMessage(name) + "'", resources.FileName()).SetHint(hint);
}
