// The Display Format dialog: what it shows for each starting value, how the buttons enable
// each other and change the example line, and what Settings > Display Format stores.

#include "AppHarness.h"

#include "CDisplayFormatDlg.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class DisplayFormat : public ::testing::Test {
protected:
    void Open(int nCoordType, int nLatLonFormat, int nUnitType) {
        pDlg = std::make_unique<CDisplayFormatDlg>();
        pDlg->SetData(nCoordType, nLatLonFormat, nUnitType);
        pDlg->show();
    }
    QRadioButton* Radio(int nId) const {
        return pDlg->findChild<QRadioButton*>(QStringLiteral("ctl%1").arg(nId));
    }
    QString Example() const { return pDlg->findChild<QLabel*>("ctl1036")->text(); }
    bool FormatsEnabled() const { return pDlg->findChild<QGroupBox*>("ctl1037")->isEnabled(); }
    std::array<int, 3> Data() const {
        std::array<int, 3> values{};
        pDlg->GetData(values[0], values[1], values[2]);
        return values;
    }

    std::unique_ptr<CDisplayFormatDlg> pDlg;
};

TEST_F(DisplayFormat, shows_the_starting_values_and_their_example) {
    const struct {
        int nCoordType, nFormat, nUnit;
        std::array<int, 3> checked;
        QString example;
    } cases[] = {
        {0, 0, 0, {1022, 1032, 1044}, QStringLiteral("N 48.26250*,  W 123.50208*")},
        {0, 1, 1, {1022, 1033, 1043}, QStringLiteral("N 48*15.750', W 123*30.125'")},
        {0, 2, 2, {1022, 1034, 1042}, QStringLiteral("N 48*15'45.0\", W 123*30'07.5\"")},
        {1, 1, 0, {1023, 1033, 1044}, QStringLiteral("10U 462737 5345598")},
    };
    for (const auto& c : cases) {
        Open(c.nCoordType, c.nFormat, c.nUnit);
        for (const int nId : c.checked) {
            EXPECT_TRUE(Radio(nId)->isChecked()) << nId;
        }
        EXPECT_EQ(FormatsEnabled(), c.nCoordType == 0);
        EXPECT_EQ(Radio(1033)->isEnabled(), c.nCoordType == 0);
        EXPECT_EQ(Example(), c.example);
    }
}

TEST_F(DisplayFormat, has_the_dialog_texts) {
    Open(0, 2, 0);
    EXPECT_EQ(pDlg->windowTitle(), QStringLiteral("Display Format"));
    QStringList texts;
    for (const int nId : {1022, 1023, 1032, 1033, 1034, 1044, 1043, 1042}) {
        texts << Radio(nId)->text();
    }
    EXPECT_EQ(texts, (QStringList{"&Lat/Lon", "&UTM", "DDD.DDDDD", "DDD MM.MMM'", "DDD MM'SS.S\"",
                                  "&Nautical", "&Statute", "&Metric"}));
    EXPECT_EQ(pDlg->findChild<QGroupBox*>("ctl1037")->title(), QStringLiteral("Lat/Lon &Format"));
    EXPECT_TRUE(pDlg->findChild<QPushButton*>("ctl1")->isDefault());
}

TEST_F(DisplayFormat, tab_visits_each_groups_checked_button_and_arrows_move_within_a_group) {
    Open(0, 1, 2);
    ASSERT_TRUE(QTest::qWaitForWindowActive(pDlg.get()));
    const auto focused = [] {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    };
    const auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        return focused();
    };
    QStringList walk{focused()};
    for (int i = 0; i < 5; ++i) {
        walk << press(Qt::Key_Tab);
    }
    EXPECT_EQ(walk, (QStringList{"ctl1022", "ctl1033", "ctl1042", "ctl1", "ctl2", "ctl1022"}));

    // Arrows move and check within the format group; Tab and Shift+Tab come back to the new one.
    EXPECT_EQ(press(Qt::Key_Tab), QStringLiteral("ctl1033"));
    EXPECT_EQ(press(Qt::Key_Down), QStringLiteral("ctl1034"));
    EXPECT_TRUE(Radio(1034)->isChecked());
    EXPECT_EQ(Example(), QStringLiteral("N 48*15'45.0\", W 123*30'07.5\""));
    EXPECT_EQ(press(Qt::Key_Tab), QStringLiteral("ctl1042"));
    EXPECT_EQ(press(Qt::Key_Backtab, Qt::ShiftModifier), QStringLiteral("ctl1034"));

    // The group's mnemonic focuses its checked button from anywhere.
    pDlg->findChild<QPushButton*>("ctl2")->setFocus();
    EXPECT_EQ(press(Qt::Key_F, Qt::AltModifier), QStringLiteral("ctl1034"));

    // Under UTM the greyed format group is passed over.
    pDlg->findChild<QPushButton*>("ctl2")->setFocus();
    EXPECT_EQ(press(Qt::Key_U, Qt::AltModifier), QStringLiteral("ctl1023"));
    // A button's mnemonic clicks it the way a mouse press would, a moment later.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Radio(1023)->isChecked(); }, 5000));
    EXPECT_EQ(press(Qt::Key_Tab), QStringLiteral("ctl1042"));
    EXPECT_EQ(Data(), (std::array<int, 3>{1, 2, 2}));
}

TEST_F(DisplayFormat, utm_and_back_keeps_the_chosen_format_and_units_leave_the_example) {
    Open(0, 1, 0);
    Radio(1023)->click();
    EXPECT_FALSE(FormatsEnabled());
    EXPECT_EQ(Example(), QStringLiteral("10U 462737 5345598"));
    EXPECT_EQ(Data(), (std::array<int, 3>{1, 1, 0}));
    Radio(1022)->click();
    EXPECT_TRUE(FormatsEnabled());
    EXPECT_TRUE(Radio(1033)->isChecked());
    EXPECT_EQ(Example(), QStringLiteral("N 48*15.750', W 123*30.125'"));

    Radio(1032)->click();
    Radio(1042)->click();
    EXPECT_EQ(Example(), QStringLiteral("N 48.26250*,  W 123.50208*"));
    EXPECT_EQ(Data(), (std::array<int, 3>{0, 0, 2}));
}

using DisplayFormatCommand = AppHarness;

TEST_F(DisplayFormatCommand, ok_stores_format_type_and_units_and_cancel_stores_nothing) {
    Start();
    ChooseDisplayFormat({"ctl1033", "ctl1023", "ctl1043", "ctl1"});
    const CDisplaySettings& settings = App().Settings();
    EXPECT_EQ(settings.GetCoordType(), 1);
    EXPECT_EQ(settings.GetLatLonFormat(), 1);
    EXPECT_EQ(settings.GetUnitType(), 1);

    // Opening again shows the stored values; Lat/Lon and Metric then Cancel keeps them.
    bool bUtmChecked = false;
    WithNextDialog(
        [&](QDialog& dialog) {
            bUtmChecked = dialog.findChild<QRadioButton*>("ctl1023")->isChecked();
            dialog.findChild<QRadioButton*>("ctl1022")->click();
            dialog.findChild<QRadioButton*>("ctl1042")->click();
            dialog.findChild<QPushButton*>("ctl2")->click();
        },
        [] { Frame().CommandAction(ID_SETTINGS_DISPLAY_FORMAT)->trigger(); });
    EXPECT_TRUE(bUtmChecked);
    EXPECT_EQ(settings.GetCoordType(), 1);
    EXPECT_EQ(settings.GetUnitType(), 1);
}
