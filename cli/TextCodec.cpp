#include "TextCodec.h"

#include <iconv.h>

#include <cerrno>
#include <memory>
#include <stdexcept>

#include "KelvErrors.h"

namespace {

constexpr const char* kCp1251 = "WINDOWS-1251";
constexpr const char* kUtf8 = "UTF-8";

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

}  // namespace

bool TryUtf8ToCp1251(std::string_view utf8, std::string& out, size_t& badOffset) {
    Converter converter(kCp1251, kUtf8);
    const size_t used = converter.Run(utf8, out);
    badOffset = used;
    return used == utf8.size();
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

std::string Cp1251ToUtf8(std::string_view cp1251) {
    Converter converter(kUtf8, kCp1251);
    std::string result;
    std::string piece;
    while (!cp1251.empty()) {
        const size_t used = converter.Run(cp1251, piece);
        result += piece;
        cp1251.remove_prefix(used);
        if (!cp1251.empty()) {
            result += "\xEF\xBF\xBD";  // U+FFFD for the byte Windows-1251 leaves undefined
            cp1251.remove_prefix(1);
        }
    }
    return result;
}
