#include "Cp1251.h"

#include <array>

#include <QByteArray>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

constexpr const char* kCodec = "windows-1251";

// Windows-1251 is a single-byte code, so decoding byte by byte is exact. The
// table is filled once from Qt's converter; drawing converts every piece of
// text it measures or paints, and opening a converter each time would cost
// more than the drawing.
const std::array<char16_t, 256>& DecodeTable() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        QStringDecoder decoder(kCodec);
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            decoder.resetState();
            const QString one = decoder(QByteArrayView(&byte, 1));
            t[static_cast<size_t>(b)] =
                (decoder.isValid() && one.size() == 1) ? one.at(0).unicode() : char16_t(0xFFFD);
        }
        return t;
    }();
    return table;
}

}  // namespace

QString FromCp1251(std::string_view bytes) {
    const auto& table = DecodeTable();
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* dst = out.data();
    for (size_t i = 0; i < bytes.size(); ++i)
        dst[i] = QChar(table[static_cast<unsigned char>(bytes[i])]);
    return out;
}

bool TryToCp1251(const QString& text, std::string& out) {
    QStringEncoder encoder(kCodec);
    if (!encoder.isValid()) return false;
    const QByteArray bytes = encoder(text);
    if (encoder.hasError()) return false;
    out.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
    return true;
}

std::string ToCp1251(const QString& text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    // Encode one code point at a time so each unrepresentable one becomes '?'.
    for (qsizetype i = 0; i < text.size();) {
        qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        std::string piece;
        if (TryToCp1251(text.mid(i, len), piece))
            out += piece;
        else
            out += '?';
        i += len;
    }
    return out;
}
