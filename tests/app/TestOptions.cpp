// The options dialog: what each opening shows, what OK and Cancel keep, and
// the station check box the map reads while drawing.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "AppFixture.h"
#include "QtText.h"
#include "RadioGroup.h"
#include "uMain.h"
#include "uOptions.h"

namespace {

std::string Cp(const char* utf8) {
    return ToCp1251(QString::fromUtf8(utf8));
}

QStringList ListTexts(const QComboBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts << list->itemText(i);
    return texts;
}

// One sector "Alpha" at 0,0 with a dock and a mine, both using the resource
// "Руда"; five resources whose names are not in alphabetical order.
class OptionsTest : public AppTest {
protected:
    void SetUp() override {
        WriteData("sectors.txt", "1\tAlpha\t1\t0\t0\t92\t92\t92\t92\t0\t1\t0\t0\t0\r\n");
        WriteResources({"Zeta", "alpha", "Beta", "Руда", "Ёж"});
        WriteData("fabs.txt", "10\tAlpha Dock\t4\t1\tD\r\n11\tOre Mine\t4\t1\tM\r\n");
        WriteData("sector fabs.txt", "1\t1\t10\r\n2\t1\t11\r\n");
        WriteData("fabs resources.txt", "10\t4\t1\r\n11\t4\t1\r\n");
        ImportData();
    }

    void WriteResources(const std::vector<const char*>& names) {
        std::string text;
        for (size_t i = 0; i < names.size(); ++i) text += std::to_string(i + 1) + "\t" + Cp(names[i]) + "\r\n";
        WriteData("resources.txt", text);
    }

    TfrmOptions& Options() { return *Program().frmOptions; }

    // Opens the options dialog from the menu and runs `script` on it.
    void OpenOptions(std::function<void(TfrmOptions&)> script) {
        dialogs_.FormScripts.push_back([script](QDialog& form) { script(static_cast<TfrmOptions&>(form)); });
        Kelv().miOptions->trigger();
    }

    // Picks mode position and list entry, then presses OK.
    void Accept(int position, const char* name) {
        OpenOptions([position, name](TfrmOptions& form) {
            form.rgType->Item(position)->click();
            form.cbResource->setCurrentIndex(form.cbResource->findText(QString::fromUtf8(name)));
            form.btOK->click();
        });
    }
};

TEST_F(OptionsTest, TheFirstOpeningShowsTheFullModeAndTheSortedNamesWithTheFirstSelected) {
    Start();
    bool opened = false;
    OpenOptions([&](TfrmOptions& form) {
        opened = true;
        EXPECT_EQ(form.windowTitle(), "Options");
        EXPECT_EQ(form.size(), QSize(364, 219));
        EXPECT_EQ(form.rgType->title(), "Режим");
        EXPECT_EQ(form.rgType->Item(0)->text(), "Полная");
        EXPECT_EQ(form.rgType->Item(1)->text(), "Продукты");
        EXPECT_EQ(form.rgType->Item(2)->text(), "Ресурсы");
        EXPECT_EQ(form.rgType->ItemIndex(), 0);
        EXPECT_FALSE(form.cbResource->isVisible());
        EXPECT_EQ(ListTexts(form.cbResource), QStringList({"alpha", "Beta", "Zeta", "Ёж", "Руда"}));
        EXPECT_EQ(form.cbResource->currentIndex(), 0);
        EXPECT_FALSE(form.cbResource->isEditable());
        EXPECT_EQ(form.cbStation->text(), "Учитывать Доки и Торговые станции");
        EXPECT_TRUE(form.cbStation->isChecked());
        EXPECT_TRUE(form.btCancel->isDefault());
        EXPECT_FALSE(form.btOK->isDefault());
    });
    EXPECT_TRUE(opened);
    EXPECT_TRUE(dialogs_.Errors.empty());
}

TEST_F(OptionsTest, TheListFollowsTheSelectedMode) {
    Start();
    OpenOptions([](TfrmOptions& form) {
        form.rgType->Item(1)->click();
        EXPECT_TRUE(form.cbResource->isVisible());
        EXPECT_EQ(form.cbResource->y(), 72);
        form.rgType->Item(2)->click();
        EXPECT_TRUE(form.cbResource->isVisible());
        EXPECT_EQ(form.cbResource->y(), 104);
        form.rgType->Item(0)->click();
        EXPECT_FALSE(form.cbResource->isVisible());
        EXPECT_EQ(form.cbResource->y(), 104);   // hiding does not move it
    });
}

TEST_F(OptionsTest, OkStoresModeAndNameAndRedrawsWithTheNewCaption) {
    Start();
    qint64 shown = ShownPictureKey();
    Accept(1, "Beta");
    EXPECT_EQ(Program().GSector.Mode, TMapMode::Product);
    EXPECT_EQ(Program().GSector.SelectedName, "Beta");
    EXPECT_EQ(Options().SelectedResourceIndex, 1);
    EXPECT_EQ(Kelv().windowTitle(), "Kelv Map - Продукт Beta");
    EXPECT_NE(ShownPictureKey(), shown);

    shown = ShownPictureKey();
    Accept(2, "Руда");
    EXPECT_EQ(Program().GSector.Mode, TMapMode::Resource);
    EXPECT_EQ(Program().GSector.SelectedName, Cp("Руда"));   // the table's own bytes
    EXPECT_EQ(Options().SelectedResourceIndex, 4);
    EXPECT_EQ(Kelv().windowTitle(), "Kelv Map - Ресурс Руда");
    EXPECT_NE(ShownPictureKey(), shown);

    // Back to the full map: the name is stored although unused.
    Accept(0, "alpha");
    EXPECT_EQ(Program().GSector.Mode, TMapMode::Full);
    EXPECT_EQ(Program().GSector.SelectedName, "alpha");
    EXPECT_EQ(Kelv().windowTitle(), "Kelv Map - Полная");
    EXPECT_TRUE(dialogs_.Errors.empty());
}

TEST_F(OptionsTest, CancelKeepsWhatWasAcceptedLastAndDoesNotRedraw) {
    Start();
    Accept(1, "Beta");
    const qint64 shown = ShownPictureKey();

    OpenOptions([](TfrmOptions& form) {
        form.rgType->Item(2)->click();
        form.cbResource->setCurrentIndex(form.cbResource->findText("Zeta"));
        QTest::keyClick(&form, Qt::Key_Escape);
        EXPECT_FALSE(form.isVisible());
    });
    EXPECT_EQ(Program().GSector.Mode, TMapMode::Product);
    EXPECT_EQ(Program().GSector.SelectedName, "Beta");
    EXPECT_EQ(Options().SelectedResourceIndex, 1);
    EXPECT_EQ(Kelv().windowTitle(), "Kelv Map - Продукт Beta");
    EXPECT_EQ(ShownPictureKey(), shown);

    OpenOptions([](TfrmOptions& form) {
        EXPECT_EQ(form.rgType->ItemIndex(), 1);
        EXPECT_EQ(form.cbResource->currentText(), "Beta");
        EXPECT_EQ(form.cbResource->y(), 72);
        form.btCancel->click();
    });
    EXPECT_EQ(ShownPictureKey(), shown);
}

TEST_F(OptionsTest, TheStationBoxSurvivesCancelAndTheMapReadsItWhileDrawing) {
    Start();
    TGSector& sector = Program().GSector;
    auto linksOfRuda = [&] {
        sector.Mode = TMapMode::Resource;
        sector.SelectedName = Cp("Руда");
        EXPECT_TRUE(sector.FindSector(0, 0));
        sector.CollectResources();
        return sector.Query().Count() == 1 ? sector.Query()[0].Count : 0;
    };
    EXPECT_EQ(linksOfRuda(), 2);   // the dock counts while the box is ticked

    OpenOptions([](TfrmOptions& form) {
        form.cbStation->click();
        form.btCancel->click();
    });
    EXPECT_FALSE(Options().StationsCounted());
    EXPECT_EQ(linksOfRuda(), 1);

    OpenOptions([](TfrmOptions& form) { EXPECT_FALSE(form.cbStation->isChecked()); });
}

TEST_F(OptionsTest, AnEmptyResourceTableGivesAnEmptyNameAndNoSelection) {
    WriteResources({});
    ImportData();
    Start();
    Accept(1, "none");
    EXPECT_EQ(Program().GSector.Mode, TMapMode::Product);
    EXPECT_EQ(Program().GSector.SelectedName, "");
    EXPECT_EQ(Options().SelectedResourceIndex, -1);
    EXPECT_EQ(Kelv().windowTitle(), "Kelv Map - Продукт ");   // the space stays
    OpenOptions([](TfrmOptions& form) {
        EXPECT_EQ(form.cbResource->count(), 0);
        EXPECT_EQ(form.cbResource->currentIndex(), -1);
    });
    EXPECT_TRUE(dialogs_.Errors.empty());
}

TEST_F(OptionsTest, TheRememberedEntryIsAPositionNotAName) {
    Start();
    Accept(2, "Beta");
    WriteResources({"Mu", "Kappa", "Lambda"});
    Program().Universe.Resources.LoadFromText(DataFile("resources.txt"));
    OpenOptions([](TfrmOptions& form) {
        EXPECT_EQ(ListTexts(form.cbResource), QStringList({"Kappa", "Lambda", "Mu"}));
        EXPECT_EQ(form.cbResource->currentText(), "Lambda");
    });
}

TEST_F(OptionsTest, TheFirstOpeningStartsOnOkSoEnterAcceptsWhileCancelStaysTheDefault) {
    Start();
    const qint64 shown = ShownPictureKey();
    int result = -1;
    OpenOptions([&result](TfrmOptions& form) {
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        EXPECT_EQ(QApplication::focusWidget(), form.btOK);
        EXPECT_TRUE(form.btCancel->isDefault());
        EXPECT_EQ(form.rgType->Item(1)->font(), form.font());   // one form font
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        result = form.result();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_NE(ShownPictureKey(), shown);

    // Enter anywhere but on a button presses the default button, Cancel.
    OpenOptions([&result](TfrmOptions& form) {
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        form.cbStation->setFocus();
        QTest::keyClick(form.cbStation, Qt::Key_Return);
        result = form.result();
    });
    EXPECT_EQ(result, QDialog::Rejected);
}

TEST_F(OptionsTest, ARememberedPositionPastTheListSelectsNothing) {
    Start();
    Accept(1, "Руда");   // position 4
    WriteResources({"Mu", "Kappa"});
    Program().Universe.Resources.LoadFromText(DataFile("resources.txt"));
    OpenOptions([](TfrmOptions& form) { EXPECT_EQ(form.cbResource->currentIndex(), -1); });
}

}  // namespace
