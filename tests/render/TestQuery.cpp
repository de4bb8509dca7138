#include <gtest/gtest.h>

#include "KelvErrors.h"
#include "uQuery.h"

namespace {

std::vector<std::string> Names(const TQuery& q) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < q.Count(); ++i) out.push_back(q[i].Name);
    return out;
}

void AddTimes(TQuery& q, const std::string& name, int times) {
    for (int i = 0; i < times; ++i) q.Add(MakeTallyItem(name));
}

TEST(TallyAdd, MergesEqualNamesKeepingTheFirstEntry) {
    TQuery q;
    EXPECT_EQ(q.Add(MakeTallyItem("Mine", "M", 1)), 0);
    EXPECT_EQ(q.Add(MakeTallyItem("Farm", "F", 2)), 1);
    EXPECT_EQ(q.Add(MakeTallyItem("Mine", "X", 7)), 0);
    ASSERT_EQ(q.Count(), 2);
    EXPECT_EQ(q[0].Name, "Mine");
    EXPECT_EQ(q[0].Count, 2);
    EXPECT_EQ(q[0].Symbol, "M");
    EXPECT_EQ(q[0].Race, 1);
    EXPECT_EQ(q[1].Count, 1);
    // Case counts, and so does every byte.
    EXPECT_EQ(q.Add(MakeTallyItem("mine")), 2);
    EXPECT_EQ(q.Add(MakeTallyItem("Mine ")), 3);
    EXPECT_EQ(q.Count(), 4);
    EXPECT_EQ(q.Add(nullptr), -1);
    EXPECT_EQ(q.Count(), 4);
}

TEST(TallyAdd, ItemsAreCutToTheirWidths) {
    TQuery q;
    const std::string longName(40, 'L');
    q.Add(MakeTallyItem(longName, "Sym", 3));
    EXPECT_EQ(q[0].Name, std::string(32, 'L'));
    EXPECT_EQ(q[0].Symbol, "S");
    // Two names equal in their first 32 bytes are one entry.
    EXPECT_EQ(q.Add(MakeTallyItem(std::string(32, 'L') + "other")), 0);
    EXPECT_EQ(q[0].Count, 2);
}

TEST(TallySort, CountDescendingThenByteOrderOfNames) {
    TQuery q;
    AddTimes(q, "Beta", 3);
    AddTimes(q, "Alpha", 3);
    AddTimes(q, "Gamma", 5);
    q.Sort();
    EXPECT_EQ(Names(q), (std::vector<std::string>{"Gamma", "Alpha", "Beta"}));
    EXPECT_EQ(q[0].Count, 5);

    TQuery p;
    for (const char* n : {"alpha", "Abcd", "\xC0\xE7\xEE\xF2" /* Cyrillic, cp1251 */, "Zeta", "Abc", "~"})
        p.Add(MakeTallyItem(n));
    p.Sort();
    EXPECT_EQ(Names(p), (std::vector<std::string>{"Abc", "Abcd", "Zeta", "alpha", "~", "\xC0\xE7\xEE\xF2"}));
}

TEST(TallySort, EmptyAndSingleListsAndStability) {
    TQuery q;
    q.Sort();
    EXPECT_EQ(q.Count(), 0);
    q.Add(MakeTallyItem("Only"));
    q.Sort();
    EXPECT_EQ(Names(q), (std::vector<std::string>{"Only"}));
    // Sorting a sorted list changes nothing.
    AddTimes(q, "More", 2);
    q.Sort();
    const auto once = Names(q);
    q.Sort();
    EXPECT_EQ(Names(q), once);
    EXPECT_EQ(once, (std::vector<std::string>{"More", "Only"}));
}

TEST(TallyClear, EmptiesAndAllowsReuse) {
    TQuery q;
    q.Clear();
    EXPECT_EQ(q.Count(), 0);
    AddTimes(q, "Mine", 2);
    q.Add(MakeTallyItem("Farm"));
    q.Clear();
    EXPECT_EQ(q.Count(), 0);
    EXPECT_EQ(q.Add(MakeTallyItem("Mine")), 0);
    EXPECT_EQ(q[0].Count, 1);
}

TEST(TallyItems, OutOfRangePositionRaisesListError) {
    TQuery q;
    q.Add(MakeTallyItem("Mine"));
    try {
        (void)q.Items(1);
        FAIL() << "no error";
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (1)");
    }
    EXPECT_THROW((void)q.Items(-1), EListError);
}

}  // namespace
