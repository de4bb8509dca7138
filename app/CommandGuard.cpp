#include "CommandGuard.h"

#include <cstring>

#include <new>

#include <QFile>

#include "KelvErrors.h"
#include "IUserDialogs.h"

QString ErrorText(const std::exception& error) {
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) return QStringLiteral("not enough memory");
    QString text = QString::fromUtf8(error.what());
    if (text.isEmpty()) text = QStringLiteral("Unknown error");
    return text;
}

QString ErrorDetail(const std::exception& error) {
    const auto* kelv = dynamic_cast<const EKelvError*>(&error);
    if (kelv == nullptr) return {};
    QString detail = QFile::decodeName(QByteArray::fromStdString(kelv->File()));
    if (kelv->Line() > 0) detail += QStringLiteral(", line %1").arg(kelv->Line());
    if (!kelv->Hint().empty()) {
        if (!detail.isEmpty()) detail += QLatin1Char('\n');
        detail += QString::fromUtf8(kelv->Hint());
    }
    return detail;
}

bool RunCommand(IUserDialogs& dialogs, QWidget* parent, const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::exception& error) {
        dialogs.Error(parent, ErrorText(error), ErrorDetail(error));
    } catch (...) {
        dialogs.Error(parent, QStringLiteral("Unknown error"), QString());
    }
    return false;
}
