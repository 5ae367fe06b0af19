#pragma once
// The one string table of the system: every text the user sees, by its numeric id.
// Plain C++ so that the core libraries and the command-line tool share it with the
// desktop application.

#include <string>
#include <string_view>

enum StringId : unsigned {
    IDR_MAINFRAME = 128,             // document template string, seven '\n'-separated fields
    AFX_IDS_APP_TITLE = 57344,       // application title
    AFX_IDS_IDLEMESSAGE = 57345,     // "Ready"
    IDS_OUT_OF_MEMORY = 61204,       // "Out of memory."
    IDS_CANNOT_OPEN_FILE = 61205,    // "Cannot open the file."
    IDS_FIND_BITMAP_QUESTION = 61206,
    IDS_BITMAP_FILTER = 61207,
    IDS_OPEN_BITMAP_TITLE = 61208,
    IDS_CANNOT_LOAD_DEFAULT = 61209,
    IDS_CANNOT_SWITCH_MENUS = 61210,
    IDS_MARKS_TOO_CLOSE = 61211,
    IDS_MARKS_COLLINEAR = 61212,
    IDS_EQUAL_COORDINATES = 61213,
    IDS_CURSOR_POSITION = 61214,
    IDS_LATITUDE = 61220,
    IDS_LONGITUDE = 61221,
    IDS_EASTING = 61222,
    IDS_NORTHING = 61223,
    IDS_VALUE_OUT_OF_RANGE = 61224,
    IDS_INVALID_UTM_ZONE = 61225,
    IDS_CALIBRATION_PROMPT = 61226,
    IDS_UNCALIBRATED_PROMPT = 61227,
    IDS_SAMPLE_UTM = 61230,
    IDS_SAMPLE_DEGREES = 61231,
    IDS_SAMPLE_MINUTES = 61232,
    IDS_SAMPLE_SECONDS = 61233,
    IDS_TIMER_FAILED = 61244,
    IDS_POSITION_NOT_FOUND = 61245,
    IDS_NO_RESOURCES = 61267,
    IDS_PANE_2 = 61269,
    IDS_PANE_1 = 61272,              // "DGPS NAV"
    IDS_NOT_VALID_FILE = 61278,
    IDS_UNSUPPORTED_VERSION = 61279,
    IDS_BAD_DATA = 61280,
    IDS_NOT_ENOUGH_MEMORY = 61282,
    IDS_SPRITES_NO_MEMORY = 61283,
    IDS_PANE_3 = 61296,              // two spaces
    IDS_OUTSIDE_UTM = 61300,         // "[Outside UTM boundary]"
};

// The text of a string id; an empty text for an id the table does not hold.
std::string_view LoadStringId(unsigned id);

// The text of id with every "%1" replaced by arg (the framework's one-argument formatting).
std::string FormatString1(unsigned id, std::string_view arg);

// Replaces every "%1" in text by arg.
std::string ExpandPercent1(std::string_view text, std::string_view arg);
