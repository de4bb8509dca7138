#include "Needs.h"

#include <unistd.h>

#include <climits>
#include <vector>

#include "Cp1251.h"
#include "KelvErrors.h"

std::string_view TokenView(std::string_view text, int32_t n, char delimiter) noexcept {
    if (n <= 0) return {};
    for (int32_t i = 1; i < n; ++i) {
        const size_t p = text.find(delimiter);
        if (p == std::string_view::npos) return {};
        text.remove_prefix(p + 1);
    }
    const size_t p = text.find(delimiter);
    return p == std::string_view::npos ? text : text.substr(0, p);
}

std::string TokenAt(std::string text, int32_t n, char delimiter) {
    return std::string(TokenView(text, n, delimiter));
}

namespace {

int HexDigit(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool TIntegerScanner::Feed(char c) noexcept {
    switch (state_) {
        case State::Spaces:
            if (c == ' ') return true;
            if (c == '-' || c == '+') {
                // A sign allows decimal digits only: "-$1F" is no integer.
                negative_ = c == '-';
                state_ = State::DecimalStart;
            } else if (c == '$' || c == 'x' || c == 'X') {
                state_ = State::HexStart;
            } else if (c == '0') {
                state_ = State::Zero;  // "0", "01" or the prefix "0x"
            } else if (c >= '1' && c <= '9') {
                value_ = static_cast<uint64_t>(c - '0');
                state_ = State::Decimal;
            } else {
                state_ = State::Fail;
            }
            return state_ != State::Fail;
        case State::Zero:
            if (c == 'x' || c == 'X') {
                state_ = State::HexStart;
                return true;
            }
            state_ = State::Decimal;
            return Feed(c);
        case State::HexStart:
        case State::Hex: {
            const int d = HexDigit(c);
            value_ = value_ * 16 + static_cast<uint64_t>(d);
            state_ = (d < 0 || value_ > 0xFFFFFFFFull) ? State::Fail : State::Hex;
            return state_ != State::Fail;
        }
        case State::DecimalStart:
        case State::Decimal: {
            // The limit is one larger for a negative number, so that
            // -2147483648 fits.
            const uint64_t limit = negative_ ? 2147483648ull : 2147483647ull;
            value_ = value_ * 10 + static_cast<uint64_t>(c - '0');
            state_ = (c < '0' || c > '9' || value_ > limit) ? State::Fail : State::Decimal;
            return state_ != State::Fail;
        }
        case State::Fail:
            return false;
    }
    return false;
}

bool TIntegerScanner::Finish(int32_t& out) const noexcept {
    switch (state_) {
        case State::Zero:
            out = 0;
            return true;
        case State::Hex:
            out = static_cast<int32_t>(static_cast<uint32_t>(value_));
            return true;
        case State::Decimal:
            out = negative_ ? static_cast<int32_t>(-static_cast<int64_t>(value_)) : static_cast<int32_t>(value_);
            return true;
        default:
            return false;  // empty, spaces or a sign or prefix alone, or not a number
    }
}

bool TryParseInteger(std::string_view text, int32_t& out) noexcept {
    TIntegerScanner scanner;
    for (const char c : text) {
        if (!scanner.Feed(c)) return false;
    }
    return scanner.Finish(out);
}

int32_t ParseInteger(std::string_view text) {
    int32_t value = 0;
    if (!TryParseInteger(text, value)) throw EConvertError::NotAnInteger(Cp1251ForMessage(text));
    return value;
}

namespace {

std::string ComputeAppDir() {
    std::vector<char> buf(4096);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return {};
        if (static_cast<size_t>(n) < buf.size()) {
            std::string path(buf.data(), static_cast<size_t>(n));
            const size_t slash = path.rfind('/');
            return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        }
        buf.resize(buf.size() * 2);
    }
}

}  // namespace

const std::string& AppDir() {
    static const std::string dir = ComputeAppDir();
    return dir;
}
