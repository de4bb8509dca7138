#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The value that crosses the table engine's interface: empty, a signed
// 32-bit integer, or a string of Windows-1251 bytes.
class FieldValue {
public:
    enum class Kind { Empty, Integer, String };

    FieldValue() = default;
    FieldValue(int32_t value) : kind_(Kind::Integer), int_(value) {}       // NOLINT: implicit by design
    FieldValue(std::string value) : kind_(Kind::String), str_(std::move(value)) {}  // NOLINT
    FieldValue(const char* value) : kind_(Kind::String), str_(value) {}    // NOLINT

    Kind GetKind() const noexcept { return kind_; }
    bool IsEmpty() const noexcept { return kind_ == Kind::Empty; }
    bool IsInteger() const noexcept { return kind_ == Kind::Integer; }
    bool IsString() const noexcept { return kind_ == Kind::String; }

    // Integer view: an integer as is, a string read as a decimal number
    // (EVariantError "Invalid variant type conversion" when it is not one),
    // the empty value as 0.
    int32_t AsInteger() const;
    // Text view: a string as is, an integer as its decimal text, empty as "".
    std::string AsString() const;

    // Raw access without conversion.
    int32_t IntValue() const noexcept { return int_; }
    const std::string& StrValue() const noexcept { return str_; }

private:
    Kind kind_ = Kind::Empty;
    int32_t int_ = 0;
    std::string str_;
};

// Equality as the engine's search uses it: integers by number, strings byte
// for byte up to a zero byte, integer against string by reading the text as
// a number (EVariantError "Invalid variant type conversion" when it is not).
// Any comparison with the empty value raises EVariantError
// "Invalid variant operation".
bool ValuesEqual(const FieldValue& left, const FieldValue& right);

// Reads text as a decimal integer the way stored text is converted into an
// integer field; returns false when it is not a number in 32-bit range.
bool TryTextToInteger(std::string_view text, int32_t& out);
