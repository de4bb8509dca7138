#include "QtUserDialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QRegularExpression>

namespace {

// The extension of a filter that names exactly one, e.g. "jpg" for
// "JPEG files (*.jpg)"; empty otherwise.
QString SingleExtension(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral(R"(\(\*\.(\w+)\)\s*$)"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

}  // namespace

QString DisplayText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    while (shown.endsWith(QLatin1Char('\n'))) shown.chop(1);
    return shown;
}

std::unique_ptr<QMessageBox> MakeBox(QMessageBox::Icon icon, QWidget* parent, const QString& text) {
    const QMessageBox::StandardButtons buttons =
        icon == QMessageBox::Question ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok;
    auto box = std::make_unique<QMessageBox>(icon, QString::fromUtf8(TQtUserDialogs::kBoxTitle), DisplayText(text),
                                             buttons, parent);
    box->setTextFormat(Qt::PlainText);
    // A short text would make the box so narrow that the window manager cuts
    // its title; the text label keeps its minimum width when the box lays
    // itself out anew.
    auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (label && box->layout()) {
        const int title = box->fontMetrics().horizontalAdvance(box->windowTitle());
        const QMargins margins = box->layout()->contentsMargins();
        label->setMinimumWidth(qMax(TQtUserDialogs::kMinimumBoxWidth, title + 200) - margins.left() - margins.right());
    }
    if (icon == QMessageBox::Question) {
        box->setDefaultButton(QMessageBox::Yes);
        box->setEscapeButton(QMessageBox::No);
    }
    return box;
}

bool TQtUserDialogs::Confirm(QWidget* parent, const QString& question) {
    return MakeBox(QMessageBox::Question, parent, question)->exec() == QMessageBox::Yes;
}

void TQtUserDialogs::Message(QWidget* parent, const QString& text) {
    MakeBox(QMessageBox::NoIcon, parent, text)->exec();
}

void TQtUserDialogs::Error(QWidget* parent, const QString& text, const QString& detail) {
    const auto box = MakeBox(QMessageBox::Critical, parent, text);
    box->setInformativeText(detail);
    box->exec();
}

namespace {

// A save dialog whose default suffix is the extension of the filter in force
// when the user accepts, so accepting "kelvmap" under "JPEG files" gives
// kelvmap.jpg; `fallback` serves filters that name no single extension.
class TMapFileDialog final : public QFileDialog {
public:
    TMapFileDialog(QWidget* parent, QString fallback) : QFileDialog(parent), fallback_(std::move(fallback)) {}

    void accept() override {
        const QString ext = SingleExtension(selectedNameFilter());
        setDefaultSuffix(ext.isEmpty() ? fallback_ : ext);
        QFileDialog::accept();
    }

private:
    QString fallback_;
};

}  // namespace

bool TQtUserDialogs::AskSaveFile(QWidget* parent, TSaveDialog& dialog) {
    TMapFileDialog box(parent, dialog.DefaultExt);
    box.setAcceptMode(QFileDialog::AcceptSave);
    box.setFileMode(QFileDialog::AnyFile);
    box.setOption(QFileDialog::DontConfirmOverwrite, !dialog.OverwritePrompt);
    box.setNameFilters(dialog.Filters);
    box.setDirectory(dialog.InitialDir);
    box.selectFile(dialog.FileName);
    const int shown = dialog.FilterIndex - 1;
    if (shown >= 0 && shown < dialog.Filters.size()) box.selectNameFilter(dialog.Filters[shown]);

    if (box.exec() != QDialog::Accepted) return false;
    const QStringList files = box.selectedFiles();
    if (files.isEmpty()) return false;
    dialog.FileName = files.first();
    const qsizetype chosen = dialog.Filters.indexOf(box.selectedNameFilter());
    dialog.FilterIndex = chosen >= 0 ? static_cast<int>(chosen) + 1 : dialog.FilterIndex;
    return true;
}

int TQtUserDialogs::ShowModal(QDialog& form) {
    return form.exec();
}
