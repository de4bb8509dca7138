#include "QtText.h"

#include <QByteArray>

#include "Cp1251.h"

QString FromCp1251(std::string_view bytes) {
    const auto& table = Cp1251CodePoints();
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* dst = out.data();
    for (size_t i = 0; i < bytes.size(); ++i) dst[i] = QChar(table[static_cast<unsigned char>(bytes[i])]);
    return out;
}

bool TryToCp1251(const QString& text, std::string& out) {
    const QByteArray utf8 = text.toUtf8();
    size_t bad = 0;
    return TryUtf8ToCp1251(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), out, bad);
}

std::string ToCp1251(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToCp1251Lossy(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}
