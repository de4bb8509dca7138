#include <gtest/gtest.h>

#include "KelvErrors.h"
#include "Needs.h"

namespace {

TEST(TokenAt, CutsTabSeparatedFields) {
    const std::string line = "a\tb";
    EXPECT_EQ(TokenAt(line, 1, '\t'), "a");
    EXPECT_EQ(TokenAt(line, 2, '\t'), "b");
    EXPECT_EQ(TokenAt(line, 3, '\t'), "");
    EXPECT_EQ(TokenAt(line, 0, '\t'), "");
    EXPECT_EQ(TokenAt(line, -1, '\t'), "");
    EXPECT_EQ(line, "a\tb");  // the caller's text is unchanged
}

TEST(TokenAt, EmptyFieldsBetweenAndAroundDelimiters) {
    EXPECT_EQ(TokenAt("a\t\td", 1, '\t'), "a");
    EXPECT_EQ(TokenAt("a\t\td", 2, '\t'), "");
    EXPECT_EQ(TokenAt("a\t\td", 3, '\t'), "d");
    EXPECT_EQ(TokenAt("abc", 1, '\t'), "abc");
    EXPECT_EQ(TokenAt("abc", 2, '\t'), "");
    EXPECT_EQ(TokenAt("a\tb\t", 2, '\t'), "b");
    EXPECT_EQ(TokenAt("a\tb\t", 3, '\t'), "");
    EXPECT_EQ(TokenAt("\ta", 1, '\t'), "");
    EXPECT_EQ(TokenAt("\ta", 2, '\t'), "a");
    EXPECT_EQ(TokenAt("", 1, '\t'), "");
}

TEST(TokenAt, FirstWordOfASectorName) {
    EXPECT_EQ(TokenAt("Amber Reach", 1, ' '), "Amber");
    EXPECT_EQ(TokenAt("Amberreach", 1, ' '), "Amberreach");
    // Windows-1251 bytes pass through untouched.
    EXPECT_EQ(TokenAt("\xC0\xE7\xEE\xF0 \xCA\xF0\xE0\xE9", 1, ' '), "\xC0\xE7\xEE\xF0");
}

TEST(ParseInteger, AcceptsDecimalAndHexForms) {
    EXPECT_EQ(ParseInteger("   42"), 42);
    EXPECT_EQ(ParseInteger("+7"), 7);
    EXPECT_EQ(ParseInteger("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseInteger("2147483647"), INT32_MAX);
    EXPECT_EQ(ParseInteger("$1F"), 31);
    EXPECT_EQ(ParseInteger("0x1f"), 31);
    EXPECT_EQ(ParseInteger("X1f"), 31);
    EXPECT_EQ(ParseInteger("$FFFFFFFF"), -1);
    EXPECT_EQ(ParseInteger("0x80000000"), INT32_MIN);
    EXPECT_EQ(ParseInteger("007"), 7);
    EXPECT_EQ(ParseInteger("0"), 0);
}

TEST(ParseInteger, RejectsEverythingElseWithTheColumnText) {
    for (const char* bad : {"42 ", "", "2147483648", "-2147483649", "-$1F", "+0x1F", "-", "+", "$",
                            "0x", "4 2", "1e3", "$1FFFFFFFF", "12a", "0x1G"}) {
        try {
            ParseInteger(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
    // Control bytes are shown escaped, and a long column is cut with its length.
    EXPECT_THROW(ParseInteger("\t42"), EConvertError);
    try {
        ParseInteger(std::string("\t4\0\x1b", 4) + std::string(200, '7'));
    } catch (const EConvertError& e) {
        EXPECT_EQ(std::string(e.what()), "'\\t4\\x00\\x1b" + std::string(96, '7') +
                                             "\xE2\x80\xA6 (204 characters)' is not a valid integer value");
    }
}

}  // namespace
