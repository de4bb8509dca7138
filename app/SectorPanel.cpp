#include "SectorPanel.h"

#include <QImage>
#include <QPainter>
#include <QTextBrowser>
#include <QUrl>

namespace {

QString Line(const QString& caption, const QString& value) {
    return QStringLiteral("<b>%1:</b> %2<br>").arg(caption.toHtmlEscaped(), value.toHtmlEscaped());
}

QString ListOrNone(const QStringList& items) {
    return items.isEmpty() ? QStringLiteral("нет") : items.join(QStringLiteral(", "));
}

}  // namespace

TSectorPanel::TSectorPanel(QWidget* parent) : QDockWidget(QStringLiteral("Сектор"), parent) {
    setObjectName(QStringLiteral("SectorPanel"));
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    text_ = new QTextBrowser(this);
    text_->setObjectName(QStringLiteral("SectorText"));
    text_->setOpenLinks(false);
    text_->setMinimumWidth(240);
    setWidget(text_);
    Clear();
    hide();
}

void TSectorPanel::ShowInfo(const TSectorInfo& info) {
    QString html = QStringLiteral("<h3>%1</h3>").arg(info.Name.toHtmlEscaped());
    html += Line(QStringLiteral("Код"), QString::number(info.Code));
    // The colour as a small framed swatch, so white shows on white too.
    QImage swatch(24, 12, QImage::Format_RGB32);
    swatch.fill(QColor(128, 128, 128));
    QPainter(&swatch).fillRect(swatch.rect().adjusted(1, 1, -1, -1), info.RaceColour);
    text_->document()->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("race:swatch")), swatch);
    html += QStringLiteral("<b>Раса:</b> <img src=\"race:swatch\"> %1<br>").arg(info.RaceName.toHtmlEscaped());
    html += Line(QStringLiteral("Позиция"),
                 QStringLiteral("столбец %1, строка %2").arg(info.Column).arg(info.Row));
    html += Line(QStringLiteral("Ворота"), ListOrNone(info.Gates));
    html += Line(QStringLiteral("Станции"), ListOrNone(info.Stations));
    if (info.HasSelected)
        html += Line(QStringLiteral("%1 «%2»").arg(info.SelectedCaption, info.SelectedName),
                     QString::number(info.SelectedCount));
    html += QStringLiteral("<b>Фабрики (%1):</b>").arg(info.Factories.size());
    if (info.Factories.isEmpty()) {
        html += QStringLiteral(" нет");
    } else {
        html += QStringLiteral("<pre>");
        for (const QString& line : info.Factories) html += line.toHtmlEscaped() + QLatin1Char('\n');
        html += QStringLiteral("</pre>");
    }
    text_->setHtml(html);
}

void TSectorPanel::Clear() {
    text_->setHtml(QStringLiteral("<p>Щёлкните по сектору на карте, чтобы увидеть его здесь.</p>"));
}

QString TSectorPanel::Text() const {
    return text_->toPlainText();
}
