#include "Needs.h"

#include <unistd.h>

#include <climits>
#include <vector>

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

bool TryParseInteger(std::string_view text, int32_t& out) noexcept {
    size_t i = 0;
    const size_t len = text.size();
    while (i < len && text[i] == ' ') ++i;
    bool negative = false;
    bool signed_ = false;
    if (i < len && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        signed_ = true;
        ++i;
    }
    if (!signed_ && i < len) {
        size_t digitsAt = 0;
        if (text[i] == '$' || text[i] == 'x' || text[i] == 'X') {
            digitsAt = i + 1;
        } else if (text[i] == '0' && i + 1 < len && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
            digitsAt = i + 2;
        }
        if (digitsAt != 0) {
            if (digitsAt >= len) return false;
            uint64_t value = 0;
            for (size_t k = digitsAt; k < len; ++k) {
                const int d = HexDigit(text[k]);
                if (d < 0) return false;
                value = value * 16 + static_cast<uint64_t>(d);
                if (value > 0xFFFFFFFFull) return false;
            }
            out = static_cast<int32_t>(static_cast<uint32_t>(value));
            return true;
        }
    }
    if (i >= len) return false;
    // Accumulate as a negative number so that -2147483648 fits.
    const uint64_t limit = negative ? 2147483648ull : 2147483647ull;
    uint64_t value = 0;
    for (size_t k = i; k < len; ++k) {
        const char c = text[k];
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > limit) return false;
    }
    out = negative ? static_cast<int32_t>(-static_cast<int64_t>(value)) : static_cast<int32_t>(value);
    return true;
}

int32_t ParseInteger(std::string_view text) {
    int32_t value = 0;
    if (!TryParseInteger(text, value)) throw EConvertError::NotAnInteger(std::string(text));
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
