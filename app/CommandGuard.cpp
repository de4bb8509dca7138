#include "CommandGuard.h"

#include <cstring>

#include <QStringDecoder>

#include "Cp1251.h"
#include "IUserDialogs.h"

QString ErrorText(const std::exception& error) {
    const char* raw = error.what();
    const QByteArray bytes(raw, static_cast<qsizetype>(std::strlen(raw)));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) text = FromCp1251(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    if (text.isEmpty()) text = QStringLiteral("Unknown error");
    return text;
}

bool RunCommand(IUserDialogs& dialogs, QWidget* parent, const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::exception& error) {
        dialogs.Error(parent, ErrorText(error));
    } catch (...) {
        dialogs.Error(parent, QStringLiteral("Unknown error"));
    }
    return false;
}
