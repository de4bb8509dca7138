#include "uQuery.h"

#include <utility>

#include "KelvErrors.h"

std::unique_ptr<TallyItem> MakeTallyItem(std::string_view name, std::string_view symbol, int32_t race) {
    auto item = std::make_unique<TallyItem>();
    item->Name.assign(name.substr(0, TallyItem::kMaxName));
    item->Symbol.assign(symbol.substr(0, 1));
    item->Race = race;
    return item;
}

int32_t TQuery::Add(std::unique_ptr<TallyItem> item) {
    if (!item) return -1;
    const size_t n = items_.size();
    for (size_t i = 0; i < n; ++i) {
        if (items_[i]->Name == item->Name) {
            ++items_[i]->Count;
            return static_cast<int32_t>(i);  // item is released on return
        }
    }
    items_.push_back(std::move(item));
    return static_cast<int32_t>(n);
}

namespace {

// Short-string order: unsigned bytes over the shorter length, then shorter first.
bool NameLess(const std::string& a, const std::string& b) noexcept {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (ca != cb) return ca < cb;
    }
    return a.size() < b.size();
}

bool Before(const TallyItem& a, const TallyItem& b) noexcept {
    if (a.Count != b.Count) return a.Count > b.Count;
    return NameLess(a.Name, b.Name);
}

}  // namespace

void TQuery::Sort() {
    // The list holds a few dozen items; the exchange sort keeps the order
    // fully determined by the rule, names being unique.
    const size_t n = items_.size();
    for (size_t i = 0; i + 1 < n; ++i) {
        for (size_t j = i + 1; j < n; ++j) {
            if (Before(*items_[j], *items_[i])) std::swap(items_[i], items_[j]);
        }
    }
}

void TQuery::Clear() noexcept { items_.clear(); }

const TallyItem& TQuery::Items(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= items_.size()) throw EListError(index);
    return *items_[static_cast<size_t>(index)];
}
