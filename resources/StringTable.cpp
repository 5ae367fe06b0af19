#include "StringTable.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

struct Entry {
    unsigned id;
    std::string_view text;
};

// Sorted by id; LoadStringId searches it by bisection.
constexpr Entry kStrings[] = {
    {IDR_MAINFRAME, "Halvoren Map Registration\n\nGPS\nGPS Map Files (*.gpm)\n.gpm\nGps.Map\nGPS Map"},
    {AFX_IDS_APP_TITLE, "Halvoren Map Registration For CE.NET Devices"},
    {AFX_IDS_IDLEMESSAGE, "Ready"},
    {IDS_OUT_OF_MEMORY, "Out of memory."},
    {IDS_CANNOT_OPEN_FILE, "Cannot open the file."},
    {IDS_FIND_BITMAP_QUESTION,
     "Could not find the map bitmap file associated with this map (%1).  Do you want to try to "
     "find this bitmap yourself?"},
    {IDS_BITMAP_FILTER, "Bitmap Files (*.bmp) |*.bmp|All Files (*.*)|*.*||"},
    {IDS_OPEN_BITMAP_TITLE, "Open map bitmap file"},
    {IDS_CANNOT_LOAD_DEFAULT, "Cannot load the default bitmap."},
    {IDS_CANNOT_SWITCH_MENUS, "Cannot switch menus.  Exiting ."},
    {IDS_MARKS_TOO_CLOSE, "Two of the calibration marks are too close together.  Increase the "
                          "distance between those two calibration marks."},
    {IDS_MARKS_COLLINEAR, "The calibration marks form a nearly straight line.  Move the points so "
                          "that they do not form a nearly straight line."},
    {IDS_EQUAL_COORDINATES,
     "Two of the calibration points have equal coordinates.  Change one of these coordinates."},
    {IDS_CURSOR_POSITION, "Cursor position: %1"},
    {IDS_LATITUDE, "Latitude"},
    {IDS_LONGITUDE, "Longitude"},
    {IDS_EASTING, "Easting"},
    {IDS_NORTHING, "Northing"},
    {IDS_VALUE_OUT_OF_RANGE, "One of the coordinate values is not valid and is out of range."},
    {IDS_INVALID_UTM_ZONE, "Invalid UTM zone.  Valid zone numbers range from 1 to 60; valid zone "
                           "letters range from C to X, except I and O."},
    {IDS_CALIBRATION_PROMPT, "Calibration mode enabled.  Press ENTER to set the map coordinates or "
                             "press ESC to cancel."},
    {IDS_UNCALIBRATED_PROMPT, "To begin calibrating the bitmap, press Shift+F2."},
    {IDS_SAMPLE_UTM, "10U 462737 5345598"},
    {IDS_SAMPLE_DEGREES, "N 48.26250*,  W 123.50208*"},
    {IDS_SAMPLE_MINUTES, "N 48*15.750', W 123*30.125'"},
    {IDS_SAMPLE_SECONDS, "N 48*15'45.0\", W 123*30'07.5\""},
    {IDS_TIMER_FAILED, "Could not initialize the timer object (%1).  Exiting"},
    {IDS_POSITION_NOT_FOUND, "Could not find your position on the map."},
    {IDS_NO_RESOURCES, "Cannot allocate the resources necessary to perform this action."},
    {IDS_PANE_2, "   "},
    {IDS_PANE_1, "DGPS NAV"},
    {IDS_NOT_VALID_FILE, "This is not a valid  file."},
    {IDS_UNSUPPORTED_VERSION, "This version is unsupported."},
    {IDS_BAD_DATA, "This file contains bad data."},
    {IDS_NOT_ENOUGH_MEMORY, "There is not enough memory to perform this operation."},
    {IDS_SPRITES_NO_MEMORY,
     "Could not add the sprites to the sprite engine because there is not enough memory."},
    {IDS_PANE_3, "  "},
    {IDS_OUTSIDE_UTM, "[Outside UTM boundary]"},
};

constexpr bool IsSorted() {
    for (std::size_t i = 1; i < std::size(kStrings); ++i) {
        if (!(kStrings[i - 1].id < kStrings[i].id)) {
            return false;
        }
    }
    return true;
}
static_assert(IsSorted(), "the string table must be sorted by id, without duplicates");

} // namespace

std::string_view LoadStringId(unsigned id) {
    const auto* end = std::end(kStrings);
    const auto* it = std::lower_bound(std::begin(kStrings), end, id,
                                      [](const Entry& e, unsigned key) { return e.id < key; });
    if (it == end || it->id != id) {
        return {};
    }
    return it->text;
}

std::string ExpandPercent1(std::string_view text, std::string_view arg) {
    std::string out;
    out.reserve(text.size() + arg.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '1') {
            out.append(arg);
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::string FormatString1(unsigned id, std::string_view arg) {
    return ExpandPercent1(LoadStringId(id), arg);
}
