// The Display Format dialog on its own: what it shows for each starting value, how the
// buttons enable each other and change the example line, and what it gives back.

#include "AppHarness.h"

#include "CDisplayFormatDlg.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

class DisplayFormat : public ::testing::Test {
protected:
    void Open(int nCoordType, int nLatLonFormat, int nUnitType) {
        dlg.SetData(nCoordType, nLatLonFormat, nUnitType);
        dlg.show();
    }
    QRadioButton* Radio(int nId) const {
        return dlg.findChild<QRadioButton*>(QStringLiteral("ctl%1").arg(nId));
    }
    QString Example() const { return dlg.findChild<QLabel*>(QStringLiteral("ctl1036"))->text(); }
    bool FormatsEnabled() const {
        const bool bGroup = dlg.findChild<QGroupBox*>(QStringLiteral("ctl1037"))->isEnabled();
        const bool bButtons =
            Radio(1032)->isEnabled() && Radio(1033)->isEnabled() && Radio(1034)->isEnabled();
        EXPECT_EQ(bGroup, bButtons);
        return bGroup;
    }
    std::array<int, 3> Data() const {
        std::array<int, 3> values{};
        dlg.GetData(values[0], values[1], values[2]);
        return values;
    }

    CDisplayFormatDlg dlg;
};

TEST_F(DisplayFormat, shows_the_starting_values_and_their_example) {
    const struct {
        int nCoordType, nFormat, nUnit;
        int nCoordButton, nFormatButton, nUnitButton;
        bool bFormatsEnabled;
        QString example;
    } cases[] = {
        {0, 0, 0, 1022, 1032, 1044, true, QStringLiteral("N 48.26250*,  W 123.50208*")},
        {0, 1, 1, 1022, 1033, 1043, true, QStringLiteral("N 48*15.750', W 123*30.125'")},
        {0, 2, 2, 1022, 1034, 1042, true, QStringLiteral("N 48*15'45.0\", W 123*30'07.5\"")},
        {1, 1, 0, 1023, 1033, 1044, false, QStringLiteral("10U 462737 5345598")},
    };
    for (const auto& c : cases) {
        CDisplayFormatDlg one;
        one.SetData(c.nCoordType, c.nFormat, c.nUnit);
        one.show();
        const auto radio = [&](int nId) {
            return one.findChild<QRadioButton*>(QStringLiteral("ctl%1").arg(nId));
        };
        EXPECT_TRUE(radio(c.nCoordButton)->isChecked()) << c.nCoordType;
        EXPECT_TRUE(radio(c.nFormatButton)->isChecked()) << c.nFormat;
        EXPECT_TRUE(radio(c.nUnitButton)->isChecked()) << c.nUnit;
        EXPECT_EQ(one.findChild<QGroupBox*>("ctl1037")->isEnabled(), c.bFormatsEnabled);
        EXPECT_EQ(one.findChild<QLabel*>("ctl1036")->text(), c.example);
        one.reject();
    }
}

TEST_F(DisplayFormat, has_the_dialog_texts) {
    Open(0, 2, 0);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Display Format"));
    const struct {
        int nId;
        const char* text;
    } buttons[] = {{1022, "&Lat/Lon"},    {1023, "&UTM"},          {1032, "DDD.DDDDD"},
                   {1033, "DDD MM.MMM'"}, {1034, "DDD MM'SS.S\""}, {1044, "&Nautical"},
                   {1043, "&Statute"},    {1042, "&Metric"}};
    for (const auto& b : buttons) {
        EXPECT_EQ(Radio(b.nId)->text(), QString::fromUtf8(b.text)) << b.nId;
        // Only OK and Cancel are reached with Tab.
        EXPECT_FALSE(Radio(b.nId)->focusPolicy() & Qt::TabFocus) << b.nId;
    }
    EXPECT_EQ(dlg.findChild<QGroupBox*>("ctl1037")->title(), QStringLiteral("Lat/Lon &Format"));
    EXPECT_EQ(dlg.findChild<QPushButton*>("ctl1")->text(), QStringLiteral("OK"));
    EXPECT_TRUE(dlg.findChild<QPushButton*>("ctl1")->isDefault());
    EXPECT_EQ(dlg.findChild<QPushButton*>("ctl2")->text(), QStringLiteral("Cancel"));
}

TEST_F(DisplayFormat, utm_and_back_keeps_the_chosen_format) {
    Open(0, 1, 0);
    Radio(1023)->click();
    EXPECT_FALSE(FormatsEnabled());
    EXPECT_EQ(Example(), QStringLiteral("10U 462737 5345598"));
    EXPECT_EQ(Data(), (std::array<int, 3>{1, 1, 0}));
    Radio(1022)->click();
    EXPECT_TRUE(FormatsEnabled());
    EXPECT_TRUE(Radio(1033)->isChecked());
    EXPECT_EQ(Example(), QStringLiteral("N 48*15.750', W 123*30.125'"));
    EXPECT_EQ(Data(), (std::array<int, 3>{0, 1, 0}));
}

TEST_F(DisplayFormat, format_buttons_change_the_example_and_unit_buttons_do_not) {
    Open(0, 2, 0);
    Radio(1032)->click();
    EXPECT_EQ(Example(), QStringLiteral("N 48.26250*,  W 123.50208*"));
    Radio(1042)->click();
    EXPECT_EQ(Example(), QStringLiteral("N 48.26250*,  W 123.50208*"));
    EXPECT_EQ(Data(), (std::array<int, 3>{0, 0, 2}));
    Radio(1043)->click();
    EXPECT_EQ(Data(), (std::array<int, 3>{0, 0, 1}));
}

using DisplayFormatCommand = AppHarness;

TEST_F(DisplayFormatCommand, ok_stores_format_type_and_units_and_cancel_stores_nothing) {
    Start();
    WithNextDialog(
        [](QDialog& dialog) {
            dialog.findChild<QRadioButton*>("ctl1033")->click();
            dialog.findChild<QRadioButton*>("ctl1023")->click();
            dialog.findChild<QRadioButton*>("ctl1043")->click();
            dialog.findChild<QPushButton*>("ctl1")->click();
        },
        [&] { Frame().CommandAction(ID_SETTINGS_DISPLAY_FORMAT)->trigger(); });
    EXPECT_EQ(App().Settings().GetCoordType(), 1);
    EXPECT_EQ(App().Settings().GetLatLonFormat(), 1);
    EXPECT_EQ(App().Settings().GetUnitType(), 1);

    // Opening again shows the stored values; Metric then Cancel keeps Statute.
    bool bUtmChecked = false;
    WithNextDialog(
        [&](QDialog& dialog) {
            bUtmChecked = dialog.findChild<QRadioButton*>("ctl1023")->isChecked();
            dialog.findChild<QRadioButton*>("ctl1042")->click();
            dialog.findChild<QPushButton*>("ctl2")->click();
        },
        [&] { Frame().CommandAction(ID_SETTINGS_DISPLAY_FORMAT)->trigger(); });
    EXPECT_TRUE(bUtmChecked);
    EXPECT_EQ(App().Settings().GetUnitType(), 1);
}
