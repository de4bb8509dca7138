#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One distinct name among the entries of a sector cell, with how often it
// occurred. Name holds at most kMaxName Windows-1251 bytes, Symbol at most one
// (MakeTallyItem cuts them); Symbol and Race are only meaningful in full mode.
struct TallyItem {
    static constexpr size_t kMaxName = 32;
    std::string Name;
    int32_t Count = 1;
    std::string Symbol;
    int32_t Race = 0;
};

// A new item with Count 1, Name cut to 32 bytes and Symbol to 1 byte.
std::unique_ptr<TallyItem> MakeTallyItem(std::string_view name, std::string_view symbol = {},
                                         int32_t race = 0);

// The tally list: counts how often each name occurs among one sector's
// entries. Owns its items. No two items have equal names (byte for byte,
// case-sensitive).
class TQuery {
public:
    TQuery() = default;
    TQuery(const TQuery&) = delete;
    TQuery& operator=(const TQuery&) = delete;

    // Takes ownership of item. If an item with the same Name is in the list,
    // its Count grows by 1 (it keeps its own Symbol and Race), item is released
    // and that item's position is returned; otherwise item is appended and its
    // new position returned. A null item is ignored and -1 returned.
    int32_t Add(std::unique_ptr<TallyItem> item);

    // Display order: Count descending, then Name ascending by unsigned byte
    // value (a name that is a prefix of another comes first).
    void Sort();

    // Releases every item; the list is empty afterwards.
    void Clear() noexcept;

    int32_t Count() const noexcept { return static_cast<int32_t>(items_.size()); }
    // The item at a 0-based position; EListError "List index out of bounds
    // (%d)" for a position that does not exist.
    const TallyItem& Items(int32_t index) const;
    const TallyItem& operator[](int32_t index) const { return Items(index); }

private:
    std::vector<std::unique_ptr<TallyItem>> items_;
};
