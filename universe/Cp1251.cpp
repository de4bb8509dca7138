#include "Cp1251.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "KelvErrors.h"

namespace {

constexpr const char* kCp1251 = "WINDOWS-1251";
constexpr const char* kUtf8 = "UTF-8";
constexpr const char* kUtf16 = "UTF-16LE";

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw EKelvError(std::string("iconv cannot convert from ") + from + " to " + to);
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as it can. Returns the number of input bytes consumed;
    // stops at the first byte sequence it cannot convert.
    size_t Run(std::string_view in, std::string& out) {
        out.clear();
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());  // iconv's signature is not const-correct
        size_t srcLeft = in.size();
        char chunk[1024];
        while (srcLeft > 0) {
            char* dst = chunk;
            size_t dstLeft = sizeof chunk;
            const size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(chunk, sizeof chunk - dstLeft);
            if (rc == static_cast<size_t>(-1) && errno != E2BIG) break;
        }
        return in.size() - srcLeft;
    }

private:
    iconv_t cd_;
};

// The UTF-8 sequence starting at offset, for an error message.
std::string SequenceAt(std::string_view utf8, size_t offset) {
    if (offset >= utf8.size()) return std::string();
    const auto lead = static_cast<unsigned char>(utf8[offset]);
    size_t len = 1;
    if (lead >= 0xF0) len = 4;
    else if (lead >= 0xE0) len = 3;
    else if (lead >= 0xC0) len = 2;
    return std::string(utf8.substr(offset, len));
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

const std::array<char16_t, 256>& Cp1251CodePoints() {
    // A single-byte code converts byte by byte exactly; the table is asked
    // of iconv once, since the map converts every text it measures or draws.
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        Converter converter(kUtf16, kCp1251);
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            std::string unit;
            const bool ok = converter.Run(std::string_view(&byte, 1), unit) == 1 && unit.size() == 2;
            t[static_cast<size_t>(b)] =
                ok ? static_cast<char16_t>(static_cast<unsigned char>(unit[0]) | (static_cast<unsigned char>(unit[1]) << 8))
                   : char16_t(0xFFFD);
        }
        return t;
    }();
    return table;
}

std::string Cp1251ToUtf8(std::string_view cp1251) {
    const auto& table = Cp1251CodePoints();
    std::string out;
    out.reserve(cp1251.size() * 2);
    for (const char c : cp1251) AppendUtf8(out, table[static_cast<unsigned char>(c)]);
    return out;
}

bool TryUtf8ToCp1251(std::string_view utf8, std::string& out, size_t& badOffset) {
    Converter converter(kCp1251, kUtf8);
    std::string converted;
    const size_t used = converter.Run(utf8, converted);
    badOffset = used;
    if (used != utf8.size()) return false;
    out = std::move(converted);
    return true;
}

std::string Utf8ToCp1251(std::string_view utf8) {
    std::string out;
    size_t bad = 0;
    if (!TryUtf8ToCp1251(utf8, out, bad)) {
        throw EKelvError("'" + std::string(utf8) + "': the character '" + SequenceAt(utf8, bad) + "' at byte " +
                         std::to_string(bad) + " has no Windows-1251 code (or the text is not valid UTF-8)");
    }
    return out;
}

std::string Utf8ToCp1251Lossy(std::string_view utf8) {
    Converter converter(kCp1251, kUtf8);
    std::string out;
    std::string piece;
    while (!utf8.empty()) {
        const size_t used = converter.Run(utf8, piece);
        out += piece;
        utf8.remove_prefix(used);
        if (!utf8.empty()) {
            // One character that has no code (or one stray byte) becomes '?'.
            out += '?';
            const size_t skip = std::max<size_t>(1, SequenceAt(utf8, 0).size());
            utf8.remove_prefix(std::min(skip, utf8.size()));
        }
    }
    return out;
}

std::string Cp1251ForMessage(std::string_view cp1251) { return Cp1251ForMessage(cp1251, cp1251.size()); }

std::string Cp1251ForMessage(std::string_view cp1251, uint64_t length) {
    const auto& table = Cp1251CodePoints();
    const size_t shown = std::min(cp1251.size(), kMessageTextLimit);
    std::string out;
    out.reserve(shown * 2 + 24);
    static constexpr char kHex[] = "0123456789abcdef";
    for (size_t i = 0; i < shown; ++i) {
        const auto b = static_cast<unsigned char>(cp1251[i]);
        if (b == '\t') {
            out += "\\t";
        } else if (b == '\n') {
            out += "\\n";
        } else if (b == '\r') {
            out += "\\r";
        } else if (b < 0x20 || b == 0x7F) {
            out += "\\x";
            out += kHex[b >> 4];
            out += kHex[b & 0xF];
        } else {
            AppendUtf8(out, table[b]);
        }
    }
    if (shown < length) out += "\xE2\x80\xA6 (" + std::to_string(length) + " characters)";
    return out;
}
