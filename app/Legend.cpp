#include "Legend.h"

#include <QLabel>
#include <QVBoxLayout>

#include "FormFont.h"
#include "Picture.h"
#include "SectorInfo.h"
#include "uKelvRef.h"

TLegend::TLegend(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Legend"));
    setWindowTitle(QStringLiteral("Легенда"));
    setFont(FormFont());

    QString html = QStringLiteral("<b>Расы</b><table cellspacing=\"3\">");
    for (int32_t race = 1; race <= kRaceCount; ++race) {
        // A thin grey border keeps the white of one race visible.
        html += QStringLiteral("<tr><td style=\"background-color:%1; border:1px solid #808080\">"
                               "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;</td><td>%2</td></tr>")
                    .arg(QColor::fromRgb(ToQRgb(RaceColor(race))).name(), QString::fromLatin1(RaceName(race)));
    }
    html += QStringLiteral("</table><br><b>Отметки справа в ячейке</b><table cellspacing=\"3\">");
    for (const TStationKind& kind : kStationKinds)
        html += QStringLiteral("<tr><td><tt><b>%1</b></tt></td><td>%2</td></tr>")
                    .arg(QString::fromLatin1(kind.Mark), QString::fromUtf8(kind.Meaning));
    html += QStringLiteral(
        "</table><br><b>Строка списка фабрик</b> (полная карта)<br>"
        "<tt><b>A 3 </b></tt>Rock Mill: символ фабрики, сколько их в секторе, название.<br>"
        "В пиратских секторах после числа стоит первая буква расы фабрики:<br>"
        "<tt><b>A 3 V </b></tt>Rock Mill.<br><br>"
        "<b>Карты продуктов и ресурсов</b><br>"
        "Крупное число в ячейке: сколько фабрик сектора делают выбранный продукт<br>"
        "или сколько связей его фабрик с выбранным ресурсом.<br>"
        "Просвет в белой рамке ячейки: ворота на этой стороне.");

    Text = new QLabel(html, this);
    Text->setObjectName(QStringLiteral("LegendText"));
    Text->setTextFormat(Qt::RichText);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Text);
    setModal(false);
}
