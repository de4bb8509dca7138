#include "FieldValue.h"

#include <cstring>
#include <limits>

#include "KelvErrors.h"

namespace {

// A text ends at its first zero byte for comparisons (the original compared
// null-terminated strings).
std::string_view UpToZero(std::string_view text) {
    const size_t zero = text.find('\0');
    return zero == std::string_view::npos ? text : text.substr(0, zero);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool TryTextToInteger(std::string_view text, int32_t& out) {
    // Accepted: optional blanks, an optional sign, at least one decimal digit,
    // optional blanks. Nothing else (no grouping, fractions or hex): the system
    // only ever converts plain decimal numbers.
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const size_t firstDigit = i;
    int64_t value = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        value = value * 10 + (text[i] - '0');
        if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) return false;
        ++i;
    }
    if (i == firstDigit) return false;
    while (i < n && IsBlank(text[i])) ++i;
    if (i != n) return false;
    if (negative) value = -value;
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) return false;
    out = static_cast<int32_t>(value);
    return true;
}

int32_t FieldValue::AsInteger() const {
    switch (kind_) {
    case Kind::Integer:
        return int_;
    case Kind::String: {
        int32_t v = 0;
        if (!TryTextToInteger(str_, v)) throw EVariantError::TypeConversion();
        return v;
    }
    case Kind::Empty:
        break;
    }
    return 0;
}

std::string FieldValue::AsString() const {
    switch (kind_) {
    case Kind::Integer:
        return std::to_string(int_);
    case Kind::String:
        return str_;
    case Kind::Empty:
        break;
    }
    return std::string();
}

bool ValuesEqual(const FieldValue& left, const FieldValue& right) {
    if (left.IsEmpty() || right.IsEmpty()) throw EVariantError::Operation();
    if (left.IsInteger() && right.IsInteger()) return left.IntValue() == right.IntValue();
    if (left.IsString() && right.IsString()) return UpToZero(left.StrValue()) == UpToZero(right.StrValue());
    // One integer, one string: the text is read as a number.
    return left.AsInteger() == right.AsInteger();
}
