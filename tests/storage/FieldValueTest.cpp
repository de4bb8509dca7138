// FieldValue conversions and equality, and the texts of the error kinds.
#include <gtest/gtest.h>

#include "FieldValue.h"
#include "KelvErrors.h"
#include "StorageTestSupport.h"

using kelvtest::MessageOf;

namespace {

TEST(FieldValueConversion, IntegerViewOfEachKind) {
    EXPECT_EQ(FieldValue(42).AsInteger(), 42);
    EXPECT_EQ(FieldValue("42").AsInteger(), 42);
    EXPECT_EQ(FieldValue(" -7 ").AsInteger(), -7);
    EXPECT_EQ(FieldValue("+5").AsInteger(), 5);
    EXPECT_EQ(FieldValue("-2147483648").AsInteger(), INT32_MIN);
    EXPECT_EQ(FieldValue("2147483647").AsInteger(), INT32_MAX);
    EXPECT_EQ(FieldValue().AsInteger(), 0);
}

TEST(FieldValueConversion, TextThatIsNotANumberIsAVariantError) {
    for (const char* bad : {"4x", "", " ", "-", "1 2", "2147483648", "-2147483649", "0x10", "1.5", "1,000"}) {
        EXPECT_EQ(MessageOf<EVariantError>([&] { (void)FieldValue(bad).AsInteger(); }),
                  "Invalid variant type conversion")
            << "text: '" << bad << "'";
    }
}

TEST(FieldValueConversion, TextViewOfEachKind) {
    EXPECT_EQ(FieldValue(-7).AsString(), "-7");
    EXPECT_EQ(FieldValue(INT32_MIN).AsString(), "-2147483648");
    EXPECT_EQ(FieldValue("Ore").AsString(), "Ore");
    EXPECT_EQ(FieldValue().AsString(), "");
}

TEST(FieldValueEquality, SameKinds) {
    EXPECT_TRUE(ValuesEqual(7, 7));
    EXPECT_FALSE(ValuesEqual(7, -7));
    EXPECT_TRUE(ValuesEqual("Ore", "Ore"));
    EXPECT_FALSE(ValuesEqual("Ore", "ore"));
    EXPECT_FALSE(ValuesEqual("Ore", "Ore "));
}

TEST(FieldValueEquality, AZeroByteEndsATextForComparison) {
    EXPECT_TRUE(ValuesEqual(FieldValue(std::string("Ore\0xyz", 7)), FieldValue("Ore")));
    EXPECT_TRUE(ValuesEqual(FieldValue(std::string("\0a", 2)), FieldValue("")));
}

TEST(FieldValueEquality, IntegerAgainstTextReadsTheText) {
    EXPECT_TRUE(ValuesEqual(12, "12"));
    EXPECT_TRUE(ValuesEqual("12", 12));
    EXPECT_FALSE(ValuesEqual("13", 12));
    EXPECT_EQ(MessageOf<EVariantError>([] { (void)ValuesEqual("abc", 12); }), "Invalid variant type conversion");
}

TEST(FieldValueEquality, EmptyValueComparesWithNothing) {
    EXPECT_EQ(MessageOf<EVariantError>([] { (void)ValuesEqual(FieldValue(), 1); }), "Invalid variant operation");
    EXPECT_EQ(MessageOf<EVariantError>([] { (void)ValuesEqual("a", FieldValue()); }), "Invalid variant operation");
    EXPECT_EQ(MessageOf<EVariantError>([] { (void)ValuesEqual(FieldValue(), FieldValue()); }),
              "Invalid variant operation");
}

TEST(ErrorTexts, AreTheOnesUsersKnow) {
    EXPECT_STREQ(EListError(5).what(), "List index out of bounds (5)");
    EXPECT_STREQ(EListError(-1).what(), "List index out of bounds (-1)");
    EXPECT_EQ(EInOutError::TextFor(2), "File not found");
    EXPECT_EQ(EInOutError::TextFor(100), "Read beyond end of file");
    EXPECT_EQ(EInOutError::FromCode(2).Code(), 2);
    EXPECT_STREQ(EVariantError::TypeConversion().what(), "Invalid variant type conversion");
    EXPECT_STREQ(EVariantError::Operation().what(), "Invalid variant operation");
    EXPECT_STREQ(EConvertError::NotAnInteger("4x").what(), "'4x' is not a valid integer value");
}

}  // namespace
