// The calibration coordinates dialog on its own: a real document on the default world map,
// real key presses into the dialog's fields, a recording view in place of the map view and the
// recording prompt in place of message boxes.

#include "CRecordingFrame.h"
#include "app/AppStrings.h"
#include "app/CCalibrationDlg.h"
#include "app/ICalibrationView.h"
#include "document/CGpsDoc.h"
#include "framework/CRecordingPrompt.h"
#include "resources/StringTable.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <utility>
#include <vector>

using namespace mapreg;

namespace {

struct MarkMove {
    int nMark;
    QPoint pt;
    int nScroll;
    bool operator==(const MarkMove&) const = default;
};

class RecordingView : public ICalibrationView {
public:
    void SetMarkPosition(int nMark, QPoint ptPixel, int nScroll) override {
        moves.push_back({nMark, ptPixel, nScroll});
    }
    std::vector<MarkMove> moves;
};

// The default world map is 998 x 500 pixels.
const std::array<QPoint, 3> kMarks = {QPoint(100, 100), QPoint(500, 100), QPoint(100, 300)};
// The coordinate fields, latitude (northing) and longitude (easting) of marks 1 to 3.
const int kWorldFields[] = {IDC_LATITUDE_1,  IDC_LONGITUDE_1, IDC_LATITUDE_2,
                            IDC_LONGITUDE_2, IDC_LATITUDE_3,  IDC_LONGITUDE_3};

class CalibDialog : public ::testing::Test {
protected:
    void SetUp() override {
        pDlg.reset();
        pDoc = std::make_unique<CGpsDoc>(prompt);
        pDoc->AddView(&frame);
        ASSERT_TRUE(pDoc->OnNewDocument());
        pDoc->OnCalibrate();
        ASSERT_TRUE(pDoc->IsCalibrationMode());
    }

    // Opens the dialog with the marks at kMarks and the given world points; for latitudes and
    // longitudes by default the document's (180 W 90 N, 180 E 90 N, 180 E 90 S).
    void Open(int nCoordType = 0, int nFormat = 2, int nZone = 10, char cLetter = 'U',
              std::array<CDoublePoint, 3> world = {}) {
        if (nCoordType == 0 && world[0].x == 0.0) {
            world = pDoc->GetMarkWorldPoints();
        }
        pDlg = std::make_unique<CCalibrationDlg>(*pDoc);
        pDlg->SetData(static_cast<CoordType>(nCoordType), nFormat, world, kMarks, nZone, cLetter,
                      998, 500, &view);
        pDlg->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(pDlg.get()));
    }

    template <typename T> T* Child(int nId) const { return pDlg->findChild<T*>(ControlName(nId)); }
    QLineEdit* Edit(int nId) const { return Child<QLineEdit>(nId); }
    QString Text(int nId) const { return Edit(nId)->text(); }
    QString Label(int nId) const { return Child<QLabel>(nId)->text(); }
    QRadioButton* Radio(int nId) const { return Child<QRadioButton>(nId); }
    // A click on the button's indicator circle.
    void ClickRadio(int nId) const {
        QTest::mouseClick(Radio(nId), Qt::LeftButton, Qt::NoModifier,
                          QPoint(6, Radio(nId)->height() / 2));
    }
    static QString FocusName() {
        QWidget* pFocus = QApplication::focusWidget();
        return pFocus != nullptr ? pFocus->objectName() : QString();
    }

    // Replaces a field's text the way a user does: into the field, select all, type.
    void Type(int nId, const char* text) {
        Edit(nId)->setFocus(Qt::MouseFocusReason);
        Edit(nId)->selectAll();
        QTest::keyClicks(Edit(nId), QString::fromUtf8(text));
    }
    // Fills fields in order; a field without text is a radio button, which is clicked.
    using Fields = std::vector<std::pair<int, const char*>>;
    void TypeAll(const Fields& fields) {
        for (const auto& [nId, text] : fields) {
            if (text != nullptr) {
                Type(nId, text);
            } else {
                ClickRadio(nId);
            }
        }
    }
    // Types into the world fields in kWorldFields order, skipping the null ones.
    void TypeWorld(const std::array<const char*, 6>& texts) {
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (texts[i] != nullptr) {
                Type(kWorldFields[i], texts[i]);
            }
        }
    }
    // Latitude and longitude of the three marks, valid for kMarks.
    void TypeValidLatLon() {
        TypeWorld({"N 49.0", "W 123.0", "N 49.0", "W 122.0", "N 48.5", "W 123.0"});
    }
    static void Key(Qt::Key key) {
        QTest::keyClick(QApplication::focusWidget(), key);
        QCoreApplication::processEvents();
    }

    CRecordingPrompt prompt;
    CRecordingFrame frame;
    std::unique_ptr<CGpsDoc> pDoc;
    RecordingView view;
    std::unique_ptr<CCalibrationDlg> pDlg;
};

} // namespace

TEST_F(CalibDialog, opens_with_the_first_latitude_selected_and_tab_walks_the_fields_in_order) {
    Open(1);
    EXPECT_EQ(pDlg->windowTitle(), QStringLiteral("Calibration Mark Coordinates"));
    EXPECT_EQ(FocusName(), ControlName(IDC_LATITUDE_1));
    EXPECT_EQ(Edit(IDC_LATITUDE_1)->selectedText(), Text(IDC_LATITUDE_1));
    EXPECT_FALSE(Text(IDC_LATITUDE_1).isEmpty());

    const int order[] = {
        IDC_LONGITUDE_1, IDC_X_1,  IDC_Y_1,        IDC_LATITUDE_2,  IDC_LONGITUDE_2,
        IDC_X_2,         IDC_Y_2,  IDC_LATITUDE_3, IDC_LONGITUDE_3, IDC_X_3,
        IDC_Y_3,         IDC_ZONE, IDOK,           IDCANCEL,        IDC_UTM,
        IDC_LATITUDE_1};
    QStringList walked;
    QStringList expected;
    for (const int nId : order) {
        Key(Qt::Key_Tab);
        walked << FocusName();
        expected << ControlName(nId);
    }
    EXPECT_EQ(walked, expected);
}

TEST_F(CalibDialog, shows_the_world_points_in_the_display_format_and_the_marks_in_pixels) {
    const struct {
        int nCoordType, nFormat, nZone;
        char cLetter;
        CDoublePoint world;
        const char *longitude, *latitude, *zone;
    } cases[] = {
        {0, 2, 10, 'U', {-123.50208333, 48.2625}, "W 123*30'07.5\"", "N 48*15'45.0\"", "10U"},
        {1, 2, 10, 'U', {462737.0, 5345598.0}, "462737", "5345598", "10U"},
        {1, 2, 5, 'D', {62737.0, 345598.0}, "062737", "0345598", "05D"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.longitude);
        Open(c.nCoordType, c.nFormat, c.nZone, c.cLetter, {c.world, c.world, c.world});
        EXPECT_EQ(Text(IDC_LONGITUDE_1), QString::fromUtf8(c.longitude));
        EXPECT_EQ(Text(IDC_LATITUDE_1), QString::fromUtf8(c.latitude));
        EXPECT_EQ(Text(IDC_LONGITUDE_3), QString::fromUtf8(c.longitude));
        EXPECT_EQ(Text(IDC_ZONE), QString::fromUtf8(c.zone));
        const bool bUtm = c.nCoordType == 1;
        EXPECT_EQ(Label(IDC_HEADING_LONGITUDE), bUtm ? "Easting" : "Longitude");
        EXPECT_EQ(Label(IDC_HEADING_LATITUDE), bUtm ? "Northing" : "Latitude");
        EXPECT_EQ(Edit(IDC_ZONE)->isEnabled(), bUtm);
        EXPECT_EQ(Radio(IDC_UTM)->isChecked(), bUtm);
        const QStringList pixels = {Text(IDC_X_1), Text(IDC_Y_1), Text(IDC_X_2),
                                    Text(IDC_Y_2), Text(IDC_X_3), Text(IDC_Y_3)};
        EXPECT_EQ(pixels, QStringList({"100", "100", "500", "100", "100", "300"}));
        for (const int nId : kWorldFields) {
            EXPECT_FALSE(Edit(nId)->isModified()) << nId;
        }
    }
}

TEST_F(CalibDialog, switching_units_swaps_the_typed_texts_without_converting_them) {
    Open(0, 2);
    const QString latitude = Text(IDC_LATITUDE_1);
    const QString longitude = Text(IDC_LONGITUDE_2);

    ClickRadio(IDC_UTM);
    EXPECT_EQ(pDlg->GetCoordMode(), CoordType::Utm);
    EXPECT_EQ(Label(IDC_HEADING_LONGITUDE), QStringLiteral("Easting"));
    EXPECT_TRUE(Edit(IDC_ZONE)->isEnabled());
    for (const int nId : kWorldFields) {
        EXPECT_TRUE(Text(nId).isEmpty()) << nId;
    }
    Type(IDC_LONGITUDE_1, "500000");

    ClickRadio(IDC_LATLON);
    EXPECT_EQ(pDlg->GetCoordMode(), CoordType::LatLon);
    EXPECT_EQ(Label(IDC_HEADING_LONGITUDE), QStringLiteral("Longitude"));
    EXPECT_FALSE(Edit(IDC_ZONE)->isEnabled());
    EXPECT_EQ(Text(IDC_LATITUDE_1), latitude);
    EXPECT_EQ(Text(IDC_LONGITUDE_2), longitude);

    // Clicking the checked button again changes nothing.
    ClickRadio(IDC_LATLON);
    EXPECT_EQ(Text(IDC_LATITUDE_1), latitude);

    ClickRadio(IDC_UTM);
    EXPECT_EQ(Text(IDC_LONGITUDE_1), QStringLiteral("500000"));
}

TEST_F(CalibDialog, leaving_an_edited_pixel_field_holds_it_to_the_picture_and_moves_its_mark) {
    const struct {
        int nField;
        const char *typed, *shown;
        MarkMove move;
    } cases[] = {
        {IDC_X_1, "5000", "997", {0, {997, 100}, 1}},
        {IDC_Y_1, "-3", "0", {0, {100, 0}, 1}},
        {IDC_X_2, "  42abc", "42", {1, {42, 100}, 1}},
        {IDC_Y_2, "500", "499", {1, {500, 499}, 1}},
        {IDC_X_3, "xyz", "0", {2, {0, 300}, 1}},
        {IDC_Y_3, "99999999999", "499", {2, {100, 499}, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Open();
        view.moves.clear();
        Type(c.nField, c.typed);
        Key(Qt::Key_Tab);
        EXPECT_EQ(Text(c.nField), QString::fromUtf8(c.shown));
        EXPECT_EQ(view.moves, std::vector<MarkMove>{c.move});
        EXPECT_FALSE(Edit(c.nField)->isModified());
    }

    // Unedited, or outside calibration mode, no mark moves.
    view.moves.clear();
    Edit(IDC_X_1)->setFocus();
    Key(Qt::Key_Tab);
    EXPECT_TRUE(view.moves.empty());
    pDoc->LeaveCalibrationMode();
    Type(IDC_Y_1, "-7");
    Key(Qt::Key_Tab);
    EXPECT_EQ(Text(IDC_Y_1), QStringLiteral("0"));
    EXPECT_TRUE(view.moves.empty());
}

TEST_F(CalibDialog, ok_holds_a_pixel_value_confirmed_at_once_with_enter_to_the_picture) {
    Open();
    TypeValidLatLon();
    Type(IDC_X_1, "-3");
    Type(IDC_Y_3, "5000");
    Key(Qt::Key_Return);

    EXPECT_EQ(pDlg->result(), QDialog::Accepted);
    EXPECT_FALSE(pDlg->isVisible());
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(Text(IDC_X_1), QStringLiteral("0"));
    EXPECT_EQ(Text(IDC_Y_3), QStringLiteral("499"));
    EXPECT_EQ(pDoc->GetMarkPixelPoints()[0].x, 0.0);
    EXPECT_EQ(pDoc->GetMarkPixelPoints()[2].y, 499.0);
    EXPECT_FALSE(pDoc->IsCalibrationMode());
    EXPECT_TRUE(pDoc->IsCalibrated());
    EXPECT_EQ(frame.calls.back(), "normal");
    // The marks follow the values the calibration was made with.
    ASSERT_FALSE(view.moves.empty());
    EXPECT_EQ(view.moves.back(), (MarkMove{2, {100, 499}, 1}));
}

TEST_F(CalibDialog, a_rejected_calibration_names_the_field_to_correct_and_changes_nothing) {
    const struct {
        Fields fields; // after valid latitudes and longitudes, then world texts
        std::array<const char*, 6> world;
        unsigned nMessage;
        int nFocus;
    } cases[] = {
        {{{IDC_X_2, "105"}, {IDC_Y_2, "104"}}, {}, IDS_MARKS_TOO_CLOSE, IDC_X_1},
        {{}, {nullptr, nullptr, "N 10", "E 20", "10", "20"}, IDS_EQUAL_COORDINATES, IDC_LATITUDE_2},
        {{}, {"10", "10", "20", "20", "30", "30"}, IDS_MARKS_COLLINEAR, IDC_LATITUDE_1},
        {{{IDC_LONGITUDE_3, "181"}}, {}, IDS_VALUE_OUT_OF_RANGE, IDC_LONGITUDE_3},
        // UTM marks in zone 10U, 10 metres per pixel, but the letter O for the zone.
        {{{IDC_UTM, nullptr}, {IDC_ZONE, "1O"}},
         {"5400000", "500000", "5400000", "504000", "5398000", "500000"},
         IDS_INVALID_UTM_ZONE,
         IDC_ZONE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nMessage);
        Open();
        TypeValidLatLon();
        TypeAll(c.fields);
        TypeWorld(c.world);
        prompt.messages.clear();
        const auto pixelsBefore = pDoc->GetMarkPixelPoints();
        Edit(IDC_LATITUDE_1)->setFocus();
        Key(Qt::Key_Return);

        ASSERT_EQ(prompt.messages.size(), 1U);
        EXPECT_EQ(prompt.messages[0].id, c.nMessage);
        EXPECT_EQ(prompt.messages[0].icon, MsgIcon::Exclamation);
        EXPECT_EQ(prompt.messages[0].text, std::string(LoadStringId(c.nMessage)));
        EXPECT_TRUE(pDlg->isVisible());
        EXPECT_EQ(FocusName(), ControlName(c.nFocus));
        EXPECT_EQ(Edit(c.nFocus)->selectedText(), Edit(c.nFocus)->text());
        EXPECT_TRUE(pDoc->IsCalibrationMode());
        EXPECT_EQ(pDoc->GetMarkPixelPoints()[1].x, pixelsBefore[1].x);
        EXPECT_EQ(pDoc->GetCoordType(), CoordType::LatLon);
    }
}

TEST_F(CalibDialog, zone_text_gives_number_and_last_letter_and_is_ignored_for_latitudes) {
    Open(1, 2, 10, 'U', {CDoublePoint{500000, 5400000}, {504000, 5400000}, {500000, 5398000}});
    Type(IDC_ZONE, "u9");
    Key(Qt::Key_Return);
    EXPECT_EQ(pDlg->result(), QDialog::Accepted);
    EXPECT_EQ(pDoc->GetCoordType(), CoordType::Utm);
    EXPECT_EQ(pDoc->GetUtmZone(), 9);
    EXPECT_EQ(pDoc->GetUtmLetter(), 'u');

    SetUp();
    Open(0);
    TypeValidLatLon();
    Edit(IDC_ZONE)->setText(QStringLiteral("garbage"));
    Key(Qt::Key_Return);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(pDlg->result(), QDialog::Accepted);
    EXPECT_EQ(pDoc->GetCoordType(), CoordType::LatLon);
    EXPECT_EQ(pDoc->GetUtmZone(), 10) << "the document's zone stays as it was";
    EXPECT_EQ(pDoc->GetUtmLetter(), 'U');
}

// Beneath each world field, as the user types: what OK reads it as, in decimal degrees as the
// status bar shows them ('*' is the degree mark). A decimal comma is a
// separator ("39 38,2" is 39 degrees 38 minutes 2 seconds); a zone without its letter is band X,
// north. UTM is symmetric about the equator: the same northing in a southern band reads as the
// same latitude south.
TEST_F(CalibDialog, each_world_field_shows_what_it_is_read_as_while_typing) {
    const auto readAs = [this] {
        return std::pair{Label(IDC_READ_LATITUDE_1), Label(IDC_READ_LONGITUDE_1)};
    };
    Open(0);
    TypeWorld({"39 38,2", "-12.5", nullptr, nullptr, "S 33 52 30", nullptr});
    EXPECT_EQ(readAs(), std::pair(QStringLiteral("N 39.63389*"), QStringLiteral("W 012.50000*")));
    EXPECT_EQ(Label(IDC_READ_LATITUDE_3), QStringLiteral("S 33.87500*"));
    // Each key counts: half a field typed is read as it stands.
    Type(IDC_LATITUDE_1, "4");
    EXPECT_EQ(readAs().first, QStringLiteral("N 04.00000*"));

    ClickRadio(IDC_UTM);
    TypeWorld({"5000000", "500000", nullptr, nullptr, nullptr, nullptr});
    Type(IDC_ZONE, "33");
    const auto north = readAs();
    EXPECT_TRUE(north.first.startsWith(QStringLiteral("N 45."))) << north.first.toStdString();
    EXPECT_EQ(north.second, QStringLiteral("E 015.00000*"));
    Type(IDC_ZONE, "33H");
    QString south = north.first;
    south[0] = QLatin1Char('S');
    EXPECT_EQ(readAs(), std::pair(south, north.second));
    // A zone OK would refuse gives no position.
    Type(IDC_ZONE, "61N");
    EXPECT_FALSE(readAs().first.contains(QLatin1Char('.'))) << readAs().first.toStdString();
    // Back to latitudes: the texts typed there, read as such.
    ClickRadio(IDC_LATLON);
    EXPECT_EQ(readAs().first, QStringLiteral("N 04.00000*"));
}
