// The Display Format dialog: what it shows for each starting value, how the buttons enable
// each other and change the example line, and what Settings > Display Format stores.

#include "AppHarness.h"

#include "app/CDisplayFormatDlg.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace mapreg;

class DisplayFormat : public ::testing::Test {
protected:
    void Open(int nCoordType, int nLatLonFormat, int nUnitType) {
        pDlg = std::make_unique<CDisplayFormatDlg>();
        pDlg->SetData(static_cast<CoordType>(nCoordType), nLatLonFormat, nUnitType);
        pDlg->show();
    }
    template <typename T> T* Child(int nId) const { return pDlg->findChild<T*>(ControlName(nId)); }
    QRadioButton* Radio(int nId) const { return Child<QRadioButton>(nId); }
    QString Example() const { return Child<QLabel>(IDC_EXAMPLE)->text(); }
    bool FormatsEnabled() const { return Child<QGroupBox>(IDC_FORMAT_GROUP)->isEnabled(); }
    std::array<int, 3> Data() const {
        CoordType coordType = CoordType::LatLon;
        std::array<int, 3> values{};
        pDlg->GetData(coordType, values[1], values[2]);
        values[0] = CoordTypeNumber(coordType);
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
        // clang-format off
        {0, 0, 0, {IDC_LATLON, IDC_FORMAT_DEGREES, IDC_NAUTICAL}, "N 48.26250*,  W 123.50208*"},
        {0, 1, 1, {IDC_LATLON, IDC_FORMAT_MINUTES, IDC_STATUTE}, "N 48*15.750', W 123*30.125'"},
        {0, 2, 2, {IDC_LATLON, IDC_FORMAT_SECONDS, IDC_METRIC}, "N 48*15'45.0\", W 123*30'07.5\""},
        {1, 1, 0, {IDC_UTM, IDC_FORMAT_MINUTES, IDC_NAUTICAL}, "10U 462737 5345598"},
        // clang-format on
    };
    for (const auto& c : cases) {
        Open(c.nCoordType, c.nFormat, c.nUnit);
        for (const int nId : c.checked) {
            EXPECT_TRUE(Radio(nId)->isChecked()) << nId;
        }
        EXPECT_EQ(FormatsEnabled(), c.nCoordType == 0);
        EXPECT_EQ(Radio(IDC_FORMAT_MINUTES)->isEnabled(), c.nCoordType == 0);
        EXPECT_EQ(Example(), c.example);
    }
}

TEST_F(DisplayFormat, has_the_dialog_texts) {
    Open(0, 2, 0);
    EXPECT_EQ(pDlg->windowTitle(), QStringLiteral("Display Format"));
    QStringList texts;
    for (const int nId : {IDC_LATLON, IDC_UTM, IDC_FORMAT_DEGREES, IDC_FORMAT_MINUTES,
                          IDC_FORMAT_SECONDS, IDC_NAUTICAL, IDC_STATUTE, IDC_METRIC}) {
        texts << Radio(nId)->text();
    }
    EXPECT_EQ(texts, (QStringList{"&Lat/Lon", "&UTM", "DDD.DDDDD", "DDD MM.MMM'", "DDD MM'SS.S\"",
                                  "&Nautical", "&Statute", "&Metric"}));
    EXPECT_EQ(Child<QGroupBox>(IDC_FORMAT_GROUP)->title(), QStringLiteral("Lat/Lon &Format"));
    EXPECT_TRUE(Child<QPushButton>(IDOK)->isDefault());
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
    EXPECT_EQ(walk, (QStringList{ControlName(IDC_LATLON), ControlName(IDC_FORMAT_MINUTES),
                                 ControlName(IDC_METRIC), ControlName(IDOK), ControlName(IDCANCEL),
                                 ControlName(IDC_LATLON)}));

    // Arrows move and check within the format group; Tab and Shift+Tab come back to the new one.
    EXPECT_EQ(press(Qt::Key_Tab), ControlName(IDC_FORMAT_MINUTES));
    EXPECT_EQ(press(Qt::Key_Down), ControlName(IDC_FORMAT_SECONDS));
    EXPECT_TRUE(Radio(IDC_FORMAT_SECONDS)->isChecked());
    EXPECT_EQ(Example(), QStringLiteral("N 48*15'45.0\", W 123*30'07.5\""));
    EXPECT_EQ(press(Qt::Key_Tab), ControlName(IDC_METRIC));
    EXPECT_EQ(press(Qt::Key_Backtab, Qt::ShiftModifier), ControlName(IDC_FORMAT_SECONDS));

    // The group's mnemonic focuses its checked button from anywhere.
    Child<QPushButton>(IDCANCEL)->setFocus();
    EXPECT_EQ(press(Qt::Key_F, Qt::AltModifier), ControlName(IDC_FORMAT_SECONDS));

    // Under UTM the greyed format group is passed over.
    Child<QPushButton>(IDCANCEL)->setFocus();
    EXPECT_EQ(press(Qt::Key_U, Qt::AltModifier), ControlName(IDC_UTM));
    // A button's mnemonic clicks it the way a mouse press would, a moment later.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Radio(IDC_UTM)->isChecked(); }, 5000));
    EXPECT_EQ(press(Qt::Key_Tab), ControlName(IDC_METRIC));
    EXPECT_EQ(Data(), (std::array<int, 3>{1, 2, 2}));
}

TEST_F(DisplayFormat, utm_and_back_keeps_the_chosen_format_and_units_leave_the_example) {
    Open(0, 1, 0);
    Radio(IDC_UTM)->click();
    EXPECT_FALSE(FormatsEnabled());
    EXPECT_EQ(Example(), QStringLiteral("10U 462737 5345598"));
    EXPECT_EQ(Data(), (std::array<int, 3>{1, 1, 0}));
    Radio(IDC_LATLON)->click();
    EXPECT_TRUE(FormatsEnabled());
    EXPECT_TRUE(Radio(IDC_FORMAT_MINUTES)->isChecked());
    EXPECT_EQ(Example(), QStringLiteral("N 48*15.750', W 123*30.125'"));

    Radio(IDC_FORMAT_DEGREES)->click();
    Radio(IDC_METRIC)->click();
    EXPECT_EQ(Example(), QStringLiteral("N 48.26250*,  W 123.50208*"));
    EXPECT_EQ(Data(), (std::array<int, 3>{0, 0, 2}));
}

using DisplayFormatCommand = AppHarness;

TEST_F(DisplayFormatCommand, ok_stores_format_type_and_units_and_cancel_stores_nothing) {
    Start();
    ChooseDisplayFormat({IDC_FORMAT_MINUTES, IDC_UTM, IDC_STATUTE, IDOK});
    const CDisplaySettings& settings = App().Settings();
    EXPECT_EQ(settings.GetCoordType(), CoordType::Utm);
    EXPECT_EQ(settings.GetLatLonFormat(), 1);
    EXPECT_EQ(settings.GetUnitType(), 1);

    // Opening again shows the stored values; Lat/Lon and Metric then Cancel keeps them.
    bool bUtmChecked = false;
    WithNextDialog(
        [&](QDialog& dialog) {
            bUtmChecked = dialog.findChild<QRadioButton*>(ControlName(IDC_UTM))->isChecked();
            dialog.findChild<QRadioButton*>(ControlName(IDC_LATLON))->click();
            dialog.findChild<QRadioButton*>(ControlName(IDC_METRIC))->click();
            dialog.findChild<QPushButton*>(ControlName(IDCANCEL))->click();
        },
        [] { Frame().CommandAction(ID_SETTINGS_DISPLAY_FORMAT)->trigger(); });
    EXPECT_TRUE(bUtmChecked);
    EXPECT_EQ(settings.GetCoordType(), CoordType::Utm);
    EXPECT_EQ(settings.GetUnitType(), 1);
}
