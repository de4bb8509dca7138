#include "uOptions.h"

#include <QCheckBox>
#include <QCollator>
#include <QComboBox>
#include <QLocale>
#include <QPushButton>
#include <QKeyEvent>
#include <QShowEvent>

#include "CommandGuard.h"
#include "QtText.h"
#include "FormFont.h"
#include "IUserDialogs.h"
#include "RadioGroup.h"
#include "uGSector.h"
#include "uSectors.h"

namespace {

constexpr int kListTopProduct = 72;
constexpr int kListTopResource = 104;

// Alphabetical order of the name list, letter case ignored: Latin names
// before Cyrillic ones, Ё with Е, as a sorted list control of the desktop
// orders its entries. The order does not depend on the user's locale.
const QCollator& NameCollator() {
    static const QCollator collator = [] {
        QCollator c{QLocale(QLocale::English, QLocale::UnitedStates)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(false);
        return c;
    }();
    return collator;
}

}  // namespace

TfrmOptions::TfrmOptions(TGSector& sector, TResources& resources, IUserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), sector_(sector), resources_(resources), dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    setFont(FormFont());
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(364, 219);

    btOK = new QPushButton(QStringLiteral("OK"), this);
    btOK->setObjectName(QStringLiteral("btOK"));
    btOK->setGeometry(168, 176, 75, 25);

    btCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    btCancel->setGeometry(264, 176, 75, 25);
    btCancel->setDefault(true);

    rgType = new TRadioGroup(QStringLiteral("Режим"),
                             {QStringLiteral("Полная"), QStringLiteral("Продукты"), QStringLiteral("Ресурсы")},
                             this);
    rgType->setObjectName(QStringLiteral("rgType"));
    rgType->setGeometry(24, 24, 129, 113);

    cbResource = new QComboBox(this);
    cbResource->setObjectName(QStringLiteral("cbResource"));
    cbResource->setEditable(false);
    cbResource->setGeometry(168, kListTopProduct, 169, 21);
    cbResource->setMaxVisibleItems(20);

    cbStation = new QCheckBox(QStringLiteral("Учитывать Доки и Торговые станции"), this);
    cbStation->setObjectName(QStringLiteral("cbStation"));
    cbStation->setGeometry(24, 152, 233, 17);
    cbStation->setChecked(true);

    setTabOrder(btOK, btCancel);
    setTabOrder(btCancel, rgType);
    setTabOrder(rgType, cbResource);
    setTabOrder(cbResource, cbStation);
    // The first opening starts on the first control of the tab order; left
    // to itself the dialog would put the focus on its default button.
    btOK->setFocus();
    // Cancel stays the default button while OK has the focus; Enter on a
    // focused button presses that button (keyPressEvent).
    btOK->setAutoDefault(false);
    btCancel->setAutoDefault(false);

    connect(btOK, &QPushButton::clicked, this, &TfrmOptions::btOKClick);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(rgType, &TRadioGroup::Clicked, this, &TfrmOptions::rgTypeClick);

    FormCreate();
}

bool TfrmOptions::StationsCounted() const {
    return cbStation->isChecked();
}

void TfrmOptions::FormCreate() {
    SelectedResourceIndex = 0;
}

void TfrmOptions::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;   // the window system re-showing it is no new opening
    RunCommand(dialogs_, this, [this] { FormActivate(); });
}

void TfrmOptions::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && button->isVisible()) {
            button->click();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void TfrmOptions::FormActivate() {
    rgType->SetItemIndex(static_cast<int>(sector_.Mode) - 1);

    cbResource->clear();
    const int32_t count = resources_.RecordCount();
    for (int32_t i = 0; i < count; ++i) {
        resources_.GoToRecord(i);
        AddSorted(resources_.GetFieldValue("Name").AsString());
    }

    const int index = SelectedResourceIndex;
    cbResource->setCurrentIndex(index >= 0 && index < cbResource->count() ? index : -1);
}

void TfrmOptions::AddSorted(const std::string& name) {
    const QString text = FromCp1251(name);
    const QCollator& collator = NameCollator();
    // Insert after every entry that does not sort after it, so equal names
    // keep the table's order.
    int low = 0;
    int high = cbResource->count();
    while (low < high) {
        const int middle = (low + high) / 2;
        if (collator.compare(cbResource->itemText(middle), text) <= 0)
            low = middle + 1;
        else
            high = middle;
    }
    cbResource->insertItem(low, text, QByteArray(name.data(), static_cast<qsizetype>(name.size())));
}

void TfrmOptions::rgTypeClick() {
    const int position = rgType->ItemIndex();
    cbResource->setVisible(position != 0);
    if (position == 1) cbResource->move(cbResource->x(), kListTopProduct);
    if (position == 2) cbResource->move(cbResource->x(), kListTopResource);
}

void TfrmOptions::btOKClick() {
    const int selected = cbResource->currentIndex();
    // The name goes to the renderer in the table's own bytes, so it matches
    // the factories' products exactly.
    const QByteArray bytes = selected >= 0 ? cbResource->itemData(selected).toByteArray() : QByteArray();
    sector_.SelectedName.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
    SelectedResourceIndex = selected;
    sector_.Mode = static_cast<TMapMode>(rgType->ItemIndex() + 1);
    accept();
}
