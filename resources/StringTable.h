#pragma once
// The one string table of the system: every text the user sees, by its numeric id.
// Plain C++ so that the core libraries and the command-line tool share it with the
// desktop application.

#include <string>
#include <string_view>

enum StringId : unsigned {
    IDR_MAINFRAME = 128, // document template string, seven '\n'-separated fields
    // Menu 128 (normal) and menu 133 (calibration) item texts
    IDS_MENU_FILE = 20000,
    IDS_MENU_FILE_NEW = 20001,
    IDS_MENU_FILE_OPEN = 20002,
    IDS_MENU_FILE_SAVE = 20003,
    IDS_MENU_FILE_SAVE_AS = 20004,
    IDS_MENU_RECENT_FILE = 20005,
    IDS_MENU_FILE_EXIT = 20006,
    IDS_MENU_MAP = 20007,
    IDS_MENU_NEW_BITMAP = 20008,
    IDS_MENU_CALIBRATE = 20009,
    IDS_MENU_VIEW = 20010,
    IDS_MENU_VIEW_TOOLBAR = 20011,
    IDS_MENU_VIEW_STATUS_BAR = 20012,
    IDS_MENU_SETTINGS = 20013,
    IDS_MENU_DISPLAY_FORMAT = 20014,
    IDS_MENU_HELP = 20015,
    IDS_MENU_ABOUT = 20016,
    IDS_MENU_CALIBRATION = 20017,
    IDS_MENU_SET_MARK_COORDINATES = 20018,
    IDS_MENU_CANCEL_CALIBRATION = 20019,
    IDS_MENU_ABOUT_SHORT = 20020,
    // File > Export submenu
    IDS_MENU_FILE_EXPORT = 20030,
    IDS_MENU_EXPORT_WORLD_FILE = 20031,
    IDS_MENU_EXPORT_GPX = 20032,
    IDS_MENU_EXPORT_OZI_MAP = 20033,
    // View menu: zoom
    IDS_MENU_ZOOM_IN = 20040,
    IDS_MENU_ZOOM_OUT = 20041,
    IDS_MENU_ZOOM_ACTUAL_SIZE = 20042,
    IDS_MENU_ZOOM_FIT = 20043,
    // About box (dialog 100)
    IDS_ABOUT_VERSION = 20100,
    IDS_BUTTON_OK = 20101,
    IDS_BUTTON_CANCEL = 20102,
    // Display Format dialog (dialog 138)
    IDS_FORMAT_CAPTION = 20200,
    IDS_FORMAT_COORDINATE_GROUP = 20201,
    IDS_FORMAT_LATLON = 20202,
    IDS_FORMAT_UTM = 20203,
    IDS_FORMAT_LATLON_GROUP = 20204,
    IDS_FORMAT_DEGREES = 20205,
    IDS_FORMAT_MINUTES = 20206,
    IDS_FORMAT_SECONDS = 20207,
    IDS_FORMAT_UNITS_GROUP = 20208,
    IDS_FORMAT_NAUTICAL = 20209,
    IDS_FORMAT_STATUTE = 20210,
    IDS_FORMAT_METRIC = 20211,
    IDS_FORMAT_EXAMPLE = 20212,
    // Calibration Mark Coordinates dialog (dialog 135)
    IDS_CALIB_CAPTION = 20300,
    IDS_CALIB_LOCATIONS_GROUP = 20301,
    IDS_CALIB_COLUMN_X = 20302,
    IDS_CALIB_COLUMN_Y = 20303,
    IDS_CALIB_ROW_1 = 20304,
    IDS_CALIB_ROW_2 = 20305,
    IDS_CALIB_ROW_3 = 20306,
    IDS_CALIB_ZONE = 20307,
    IDS_CALIB_UNITS_GROUP = 20308,
    IDS_CALIB_LATLON = 20309,
    IDS_CALIB_UTM = 20310,
    // Command prompts: "status bar prompt\ntooltip", by command id
    ID_MAP_CALIBRATE = 32774,
    ID_CALIBRATE_CANCEL = 32780,
    ID_MAP_NEW_BITMAP = 32784,
    ID_CALIBRATE_SET_COORDINATES = 32787,
    ID_VIEW_FIND_POSITION = 32791,
    ID_SETTINGS_DISPLAY_FORMAT = 32793,
    ID_ENTER_WAYPOINTS = 32827,
    ID_SAVE_WAYPOINTS = 32828,
    ID_FILE_EXPORT_WORLD_FILE = 32840,
    ID_FILE_EXPORT_GPX = 32841,
    ID_FILE_EXPORT_OZI_MAP = 32842,
    ID_VIEW_ZOOM_IN = 32850,
    ID_VIEW_ZOOM_OUT = 32851,
    ID_VIEW_ZOOM_ACTUAL_SIZE = 32852,
    ID_VIEW_ZOOM_FIT = 32853,
    AFX_IDS_APP_TITLE = 57344,   // application title
    AFX_IDS_IDLEMESSAGE = 57345, // "Ready"
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_MRU_FILE1 = 57616, // the recent-file entries take 57616 to 57619
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    IDS_OUT_OF_MEMORY = 61204,    // "Out of memory."
    IDS_CANNOT_OPEN_FILE = 61205, // "Cannot open the file."
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
    IDS_PANE_1 = 61272, // "DGPS NAV"
    IDS_NOT_VALID_FILE = 61278,
    IDS_UNSUPPORTED_VERSION = 61279,
    IDS_BAD_DATA = 61280,
    IDS_NOT_ENOUGH_MEMORY = 61282,
    IDS_SPRITES_NO_MEMORY = 61283,
    IDS_PANE_3 = 61296,                 // two spaces
    IDS_OUTSIDE_UTM = 61300,            // "[Outside UTM boundary]"
    IDS_NO_VALUE = 61301,               // "---": a coordinate that is not a finite number
    IDS_OPEN_MAP_FAILED = 61320,        // "Cannot open the map file %1." + a reason below
    IDS_SAVE_MAP_FAILED = 61321,        // "Cannot save the map file %1." + a reason below
    IDS_WRITE_TEXT_FILE_FAILED = 61322, // registration or waypoint file + a reason below
    IDS_REASON_NOT_FOUND = 61323,
    IDS_REASON_NO_PERMISSION = 61324,
    IDS_REASON_READ_ONLY = 61325,
    IDS_REASON_DISK_FULL = 61326,
    IDS_REASON_IS_FOLDER = 61327,
    IDS_REASON_NAME_TOO_LONG = 61328,
    IDS_REASON_ENDS_EARLY = 61329,
    IDS_REASON_READ_ERROR = 61330,
    IDS_REASON_WRITE_ERROR = 61331,
    IDS_SAVE_CHANGES = 61332, // "Save changes to %1?"
    IDS_UNTITLED = 61333,
    IDS_WAYPOINTS_NEED_BITMAP = 61334,
    IDS_MARK_OUTSIDE_FILE_RANGE = 61335,
    IDS_TEXT_FILE_WOULD_REPLACE = 61336,
    IDS_MARK_OUTSIDE_PICTURE = 61337, // mapreg-cli register
    IDS_ZOOM_PERCENT = 61338,         // the zoom pane: "%1%"
    IDS_PANE_ZOOM = 61339,            // the widest text of the zoom pane
    // Exports for other programs: world file, GPX waypoints, OziExplorer .map (61340..61349)
    IDS_EXPORT_NOT_CALIBRATED = 61340,
    IDS_EXPORT_NEEDS_BITMAP = 61341,
    IDS_EXPORT_NO_WAYPOINTS = 61342,
    IDS_EXPORT_UNUSABLE_CALIBRATION = 61343,
    IDS_EXPORT_WAYPOINTS_LEFT_OUT = 61344,
    IDS_GPX_FILTER = 61345,
    IDS_OZI_MAP_FILTER = 61346,
    // mapreg-cli: commands over the coordinate core (61400..61419)
    IDS_CLI_DESCRIPTION = 61400,
    IDS_CLI_ANGLE = 61401,
    IDS_CLI_ANGLE_TEXT = 61402,
    IDS_CLI_FORMAT = 61403,
    IDS_CLI_FORMAT_LAYOUT = 61404,
    IDS_CLI_FORMAT_UTM = 61405,
    IDS_CLI_UTM = 61406,
    IDS_CLI_LATLON = 61407,
    IDS_CLI_ZONE_NUMBER = 61408,
    IDS_CLI_ZONE_LETTER = 61409,
    IDS_CLI_CALIBRATE = 61410,
    IDS_CLI_CALIBRATE_UTM = 61411,
    IDS_CLI_CALIBRATE_MARK = 61412,
    IDS_CLI_CALIBRATE_AT = 61413,
    IDS_CLI_CALIBRATE_WORLD = 61414,
    IDS_CLI_THREE_MARKS = 61415,
    IDS_CLI_ONE_LETTER = 61416,
    // mapreg-cli: commands over the map document (61420..61429)
    IDS_CLI_REGISTER = 61420,
    IDS_CLI_REGISTER_BITMAP = 61421,
    IDS_CLI_REGISTER_OUTPUT = 61422,
    IDS_CLI_INFO = 61423,
    IDS_CLI_INFO_FILE = 61424,
    // mapreg-cli export (61430..61439)
    IDS_CLI_EXPORT = 61430,
    IDS_CLI_EXPORT_MAP = 61431,
    IDS_CLI_EXPORT_WORLD_FILE = 61432,
    IDS_CLI_EXPORT_OZI_MAP = 61433,
    IDS_CLI_EXPORT_OUTPUT = 61434,
    IDS_CLI_EXPORT_NO_BITMAP = 61435,
    // mapreg, the desktop program: its command line (61450..61459)
    IDS_APP_USAGE = 61450,
    IDS_APP_UNKNOWN_OPTION = 61451,
};

// The text of a string id; an empty text for an id the table does not hold.
std::string_view LoadStringId(unsigned id);

// The text of id with every "%1" replaced by arg (the framework's one-argument formatting).
std::string FormatString1(unsigned id, std::string_view arg);

// Replaces every "%1" in text by arg.
std::string ExpandPercent1(std::string_view text, std::string_view arg);
