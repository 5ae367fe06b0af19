#include "resources/StringTable.h"
#include "resources/StringTableTranslation.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>
#include <vector>

namespace mapreg {

namespace {

struct Entry {
    unsigned id;
    std::string_view text;
    bool bTranslatable;
};

} // namespace

// Every text is marked. TR marks one that a translation replaces; the translators' tool
// (scripts/update-translations) reads it as Qt's QT_TR_NOOP in the context "StringTable". KEEP
// marks one that is never translated: names that files, the profile and the device rely on,
// coordinate texts, format patterns and the widths of the status panes. An entry with neither
// does not compile.
#define TR(text) text, true
#define KEEP(text) text, false

namespace StringTable {

// Sorted by id; LoadStringId searches it by bisection.
constexpr Entry kStrings[] = {
    {IDR_MAINFRAME,
     KEEP("Halvoren Map Registration\n\nGPS\nGPS Map Files (*.gpm)\n.gpm\nGps.Map\nGPS Map")},
    {IDS_MENU_FILE, TR("&File")},
    {IDS_MENU_FILE_NEW, TR("&New\tCtrl+N")},
    {IDS_MENU_FILE_OPEN, TR("&Open...\tCtrl+O")},
    {IDS_MENU_FILE_SAVE, TR("&Save\tCtrl+S")},
    {IDS_MENU_FILE_SAVE_AS, TR("Save &As...")},
    {IDS_MENU_RECENT_FILE, TR("Recent File")},
    {IDS_MENU_FILE_EXIT, TR("E&xit\tAlt+F4")},
    {IDS_MENU_MAP, TR("&Map")},
    {IDS_MENU_NEW_BITMAP, TR("&New Bitmap...\tF2")},
    {IDS_MENU_CALIBRATE, TR("Calibrate\tShift+F2")},
    {IDS_MENU_VIEW, TR("&View")},
    {IDS_MENU_VIEW_TOOLBAR, TR("&Toolbar")},
    {IDS_MENU_VIEW_STATUS_BAR, TR("&Status Bar")},
    {IDS_MENU_SETTINGS, TR("&Settings")},
    {IDS_MENU_DISPLAY_FORMAT, TR("Display &Format...")},
    {IDS_MENU_HELP, TR("&Help")},
    {IDS_MENU_ABOUT, TR("&About...")},
    {IDS_MENU_CALIBRATION, TR("&Calibrate")},
    {IDS_MENU_SET_MARK_COORDINATES, TR("&Set Mark Coordinates\tENTER")},
    {IDS_MENU_CANCEL_CALIBRATION, TR("&Cancel Calibration\tESC")},
    {IDS_MENU_ABOUT_SHORT, TR("&About")},
    {IDS_MENU_STRAIGHTEN, TR("&Straighten for Device...")},
    {IDS_MENU_FILE_EXPORT, TR("Ex&port")},
    {IDS_MENU_EXPORT_WORLD_FILE, TR("&World File")},
    {IDS_MENU_EXPORT_GPX, TR("&GPX Waypoints...")},
    {IDS_MENU_EXPORT_OZI_MAP, TR("&OziExplorer Map File...")},
    {IDS_MENU_ZOOM_IN, TR("Zoom &In\tCtrl++")},
    {IDS_MENU_ZOOM_OUT, TR("Zoom &Out\tCtrl+-")},
    {IDS_MENU_ZOOM_ACTUAL_SIZE, TR("&Actual Size\tCtrl+0")},
    {IDS_MENU_ZOOM_FIT, TR("&Fit to Window\tCtrl+9")},
    {IDS_MENU_EXPORT_KMZ, TR("Garmin Custom Map (KMZ)…")},
    {IDS_MENU_EXPORT_MBTILES, TR("MBTiles…")},
    {IDS_MENU_EXPORT_GEOTIFF, TR("GeoTIFF…")},
    {IDS_ABOUT_VERSION, TR("Version %1")},
    {IDS_BUTTON_OK, TR("OK")},
    {IDS_BUTTON_CANCEL, TR("Cancel")},
    {IDS_FORMAT_CAPTION, TR("Display Format")},
    {IDS_FORMAT_COORDINATE_GROUP, TR("Coordinate Format")},
    {IDS_FORMAT_LATLON, TR("&Lat/Lon")},
    {IDS_FORMAT_UTM, TR("&UTM")},
    {IDS_FORMAT_LATLON_GROUP, TR("Lat/Lon &Format")},
    {IDS_FORMAT_DEGREES, KEEP("DDD.DDDDD")},
    {IDS_FORMAT_MINUTES, KEEP("DDD MM.MMM'")},
    {IDS_FORMAT_SECONDS, KEEP("DDD MM'SS.S\"")},
    {IDS_FORMAT_UNITS_GROUP, TR("Units")},
    {IDS_FORMAT_NAUTICAL, TR("&Nautical")},
    {IDS_FORMAT_STATUTE, TR("&Statute")},
    {IDS_FORMAT_METRIC, TR("&Metric")},
    {IDS_FORMAT_EXAMPLE, TR("Example:")},
    {IDS_CALIB_CAPTION, TR("Calibration Mark Coordinates")},
    {IDS_CALIB_LOCATIONS_GROUP, TR("Calibration mark locations")},
    {IDS_CALIB_COLUMN_X, KEEP("X")},
    {IDS_CALIB_COLUMN_Y, KEEP("Y")},
    {IDS_CALIB_ROW_1, KEEP("&1")},
    {IDS_CALIB_ROW_2, KEEP("&2")},
    {IDS_CALIB_ROW_3, KEEP("&3")},
    {IDS_CALIB_ZONE, TR("UTM &Zone")},
    {IDS_CALIB_UNITS_GROUP, TR("Calibration units")},
    {IDS_CALIB_LATLON, TR("&Lat/Lon")},
    {IDS_CALIB_UTM, TR("&UTM")},
    {ID_MAP_CALIBRATE, TR("Enter calibration mode\nCalibrate")},
    {ID_CALIBRATE_CANCEL,
     TR("Leave calibration mode and keep the previous calibration\nCancel Calibration")},
    {ID_MAP_NEW_BITMAP, TR("Loads a new bitmap to be used as the map\nNew Bitmap")},
    {ID_CALIBRATE_SET_COORDINATES,
     TR("Enter the map coordinates of the calibration marks\nSet Mark Coordinates")},
    {ID_MAP_STRAIGHTEN, TR("Warps the map into the north-up grid the device reads, as a new "
                           "map\nStraighten for Device")},
    {ID_VIEW_FIND_POSITION, TR("Scroll the map to your position\nFind Position")},
    {ID_SETTINGS_DISPLAY_FORMAT, TR("Choose how positions are shown\nDisplay Format")},
    {ID_ENTER_WAYPOINTS, TR("Enter Waypoints")},
    {ID_SAVE_WAYPOINTS, TR("Save Wp points")},
    {ID_FILE_EXPORT_WORLD_FILE,
     TR("Write a world file and its coordinate system beside the map bitmap, for desktop GIS "
        "programs\nExport World File")},
    {ID_FILE_EXPORT_GPX, TR("Save the waypoints in a GPX file\nExport GPX Waypoints")},
    {ID_FILE_EXPORT_OZI_MAP, TR("Save the calibration in an OziExplorer .map file, for GPS map "
                                "apps\nExport OziExplorer Map")},
    {ID_VIEW_ZOOM_IN, TR("Show the map larger\nZoom In")},
    {ID_VIEW_ZOOM_OUT, TR("Show the map smaller\nZoom Out")},
    {ID_VIEW_ZOOM_ACTUAL_SIZE,
     TR("Show the map at one picture pixel per screen pixel\nActual Size")},
    {ID_VIEW_ZOOM_FIT, TR("Show the whole map in the window\nFit to Window")},
    {ID_MAP_CONTROL_POINTS,
     TR("Show the control points table; clicks on the map place and move control "
        "points\nControl Points")},
    {ID_MAP_APPLY_POINTS,
     TR("Calibrate the map from the least-squares fit of the control points\nApply Control "
        "Points")},
    {ID_EDIT_DELETE_POINT, TR("Delete the selected control point\nDelete Point")},
    {ID_FILE_EXPORT_KMZ, TR("Save the map as JPEG tiles in a KMZ file, for Garmin outdoor "
                            "handhelds\nExport Garmin Custom Map")},
    {ID_FILE_EXPORT_MBTILES,
     TR("Save the map as Web Mercator tiles in an MBTiles file, for phone map apps\nExport "
        "MBTiles")},
    {ID_FILE_EXPORT_GEOTIFF,
     TR("Save the bitmap with its calibration as a GeoTIFF, for desktop GIS programs\nExport "
        "GeoTIFF")},
    {AFX_IDS_APP_TITLE, KEEP("Halvoren Map Registration For CE.NET Devices")},
    {AFX_IDS_IDLEMESSAGE, TR("Ready")},
    {ID_FILE_NEW, TR("Create a new map\nNew")},
    {ID_FILE_OPEN, TR("Open an existing map\nOpen")},
    {ID_FILE_SAVE, TR("Save the active map\nSave")},
    {ID_FILE_SAVE_AS, TR("Save the active map with a new name\nSave As")},
    {ID_FILE_MRU_FILE1, TR("Open this map")},
    {ID_APP_ABOUT, TR("Display program information and version number\nAbout")},
    {ID_APP_EXIT, TR("Quit the application; prompts to save the map\nExit")},
    {ID_VIEW_TOOLBAR, TR("Show or hide the toolbar\nToggle Toolbar")},
    {ID_VIEW_STATUS_BAR, TR("Show or hide the status bar\nToggle Status Bar")},
    {IDS_OUT_OF_MEMORY, TR("Out of memory.")},
    {IDS_CANNOT_OPEN_FILE, TR("Cannot open the file.")},
    {IDS_FIND_BITMAP_QUESTION,
     TR("Could not find the map bitmap file associated with this map (%1).  Do you want to try to "
        "find this bitmap yourself?")},
    {IDS_BITMAP_FILTER, TR("Bitmap Files (*.bmp) |*.bmp|All Files (*.*)|*.*||")},
    {IDS_OPEN_BITMAP_TITLE, TR("Open map bitmap file")},
    {IDS_CANNOT_LOAD_DEFAULT, TR("Cannot load the default bitmap.")},
    {IDS_CANNOT_SWITCH_MENUS, TR("Cannot switch menus.  Exiting .")},
    {IDS_MARKS_TOO_CLOSE, TR("Two of the calibration marks are too close together.  Increase the "
                             "distance between those two calibration marks.")},
    {IDS_MARKS_COLLINEAR,
     TR("The calibration marks form a nearly straight line.  Move the points so "
        "that they do not form a nearly straight line.")},
    {IDS_EQUAL_COORDINATES,
     TR("Two of the calibration points have equal coordinates.  Change one of these coordinates.")},
    {IDS_CURSOR_POSITION, TR("Cursor position: %1")},
    {IDS_LATITUDE, TR("Latitude")},
    {IDS_LONGITUDE, TR("Longitude")},
    {IDS_EASTING, TR("Easting")},
    {IDS_NORTHING, TR("Northing")},
    {IDS_VALUE_OUT_OF_RANGE, TR("One of the coordinate values is not valid and is out of range.")},
    {IDS_INVALID_UTM_ZONE,
     TR("Invalid UTM zone.  Valid zone numbers range from 1 to 60; valid zone "
        "letters range from C to X, except I and O.")},
    {IDS_CALIBRATION_PROMPT,
     TR("Calibration mode enabled.  Press ENTER to set the map coordinates or "
        "press ESC to cancel.")},
    {IDS_UNCALIBRATED_PROMPT, TR("To begin calibrating the bitmap, press Shift+F2.")},
    {IDS_SAMPLE_UTM, KEEP("10U 462737 5345598")},
    {IDS_SAMPLE_DEGREES, KEEP("N 48.26250*,  W 123.50208*")},
    {IDS_SAMPLE_MINUTES, KEEP("N 48*15.750', W 123*30.125'")},
    {IDS_SAMPLE_SECONDS, KEEP("N 48*15'45.0\", W 123*30'07.5\"")},
    {IDS_TIMER_FAILED, TR("Could not initialize the timer object (%1).  Exiting")},
    {IDS_POSITION_NOT_FOUND, TR("Could not find your position on the map.")},
    {IDS_NO_RESOURCES, TR("Cannot allocate the resources necessary to perform this action.")},
    {IDS_PANE_2, KEEP("   ")},
    {IDS_PANE_1, KEEP("DGPS NAV")},
    {IDS_NOT_VALID_FILE, TR("This is not a valid  file.")},
    {IDS_UNSUPPORTED_VERSION, TR("This version is unsupported.")},
    {IDS_BAD_DATA, TR("This file contains bad data.")},
    {IDS_NOT_ENOUGH_MEMORY, TR("There is not enough memory to perform this operation.")},
    {IDS_SPRITES_NO_MEMORY,
     TR("Could not add the sprites to the sprite engine because there is not enough memory.")},
    {IDS_PANE_3, KEEP("  ")},
    {IDS_OUTSIDE_UTM, KEEP("[Outside UTM boundary]")},
    {IDS_NO_VALUE, KEEP("---")},
    {IDS_OPEN_MAP_FAILED, TR("Cannot open the map file %1.")},
    {IDS_SAVE_MAP_FAILED, TR("Cannot save the map file %1.")},
    {IDS_WRITE_TEXT_FILE_FAILED, TR("Cannot write the file %1.")},
    {IDS_REASON_NOT_FOUND, TR("The file or its folder does not exist.")},
    {IDS_REASON_NO_PERMISSION, TR("Permission to use the file was denied.")},
    {IDS_REASON_READ_ONLY, TR("The disk is read-only.")},
    {IDS_REASON_DISK_FULL, TR("The disk is full.")},
    {IDS_REASON_IS_FOLDER, TR("The name belongs to a folder, not to a file.")},
    {IDS_REASON_NAME_TOO_LONG, TR("The file name is too long.")},
    {IDS_REASON_ENDS_EARLY, TR("The file ends before all of its data could be read.")},
    {IDS_REASON_READ_ERROR, TR("The file could not be read.")},
    {IDS_REASON_WRITE_ERROR, TR("The file could not be written.")},
    {IDS_SAVE_CHANGES, TR("Save changes to %1?")},
    {IDS_UNTITLED, TR("Untitled")},
    {IDS_WAYPOINTS_NEED_BITMAP, TR("Waypoints are saved in a file beside the map bitmap, and the "
                                   "default map has none.  Load a "
                                   "map bitmap with New Bitmap first.")},
    {IDS_MARK_OUTSIDE_FILE_RANGE,
     TR("A calibration mark lies outside the pixel range that a map file can store (0 to 65535).  "
        "Calibrate the map again with all three marks on the picture.")},
    {IDS_TEXT_FILE_WOULD_REPLACE, TR("The file %1 was not written because it would replace the map "
                                     "bitmap or the map file.  Give "
                                     "the map bitmap or the map file another name.")},
    {IDS_MARK_OUTSIDE_PICTURE, TR("Mark %1 lies outside the picture.")},
    {IDS_ZOOM_PERCENT, KEEP("%1%")},
    {IDS_PANE_ZOOM, KEEP("800%")},
    {IDS_EXPORT_NOT_CALIBRATED,
     TR("The map is not calibrated.  Calibrate it before exporting its calibration.")},
    {IDS_EXPORT_NEEDS_BITMAP,
     TR("The built-in world map has no bitmap file for other programs to open.  Load a map bitmap "
        "with New Bitmap and calibrate it first.")},
    {IDS_EXPORT_NO_WAYPOINTS,
     TR("There are no waypoints to export.  Place waypoints on the map first.")},
    {IDS_EXPORT_UNUSABLE_CALIBRATION, TR("The calibration cannot be exported because its marks do "
                                         "not define a usable mapping of the "
                                         "picture.  Calibrate the map again.")},
    {IDS_EXPORT_WAYPOINTS_LEFT_OUT,
     TR("%1 of the waypoints have no valid latitude and longitude and were left out of the file.")},
    {IDS_GPX_FILTER, TR("GPX Files (*.gpx)|*.gpx|All Files (*.*)|*.*||")},
    {IDS_OZI_MAP_FILTER, TR("OziExplorer Map Files (*.map)|*.map|All Files (*.*)|*.*||")},
    {IDS_CLI_DESCRIPTION,
     TR("Map registration from the command line: coordinate conversions and calibration checks.")},
    {IDS_CLI_ANGLE, TR("Print a typed latitude or longitude in decimal degrees.")},
    {IDS_CLI_ANGLE_TEXT, TR("The angle as typed, such as \"N 48*15.750'\".")},
    {IDS_CLI_FORMAT, TR("Print the position text of a latitude and longitude.")},
    {IDS_CLI_FORMAT_LAYOUT, TR("Latitude/longitude layout: 0 degrees, 1 minutes, 2 seconds.")},
    {IDS_CLI_FORMAT_UTM, TR("Show the position as UTM.")},
    {IDS_CLI_UTM,
     TR("Print the UTM zone, letter, easting and northing of a latitude and longitude.")},
    {IDS_CLI_LATLON, TR("Print the latitude and longitude of a UTM position.")},
    {IDS_CLI_ZONE_NUMBER, TR("UTM zone number.")},
    {IDS_CLI_ZONE_LETTER, TR("UTM latitude band letter.")},
    {IDS_CLI_CALIBRATE,
     TR("Check three calibration marks; when they are accepted, map points through them.")},
    {IDS_CLI_CALIBRATE_UTM, TR("The marks are in UTM, in the zone given, such as 10U.")},
    {IDS_CLI_CALIBRATE_MARK,
     TR("A calibration mark: picture x and y in pixels, then its longitude and "
        "latitude, or easting and northing.")},
    {IDS_CLI_CALIBRATE_AT, TR("A picture point to map to the world.")},
    {IDS_CLI_CALIBRATE_WORLD, TR("A world point to map to the picture.")},
    {IDS_CLI_THREE_MARKS, TR("Give exactly three calibration marks (--mark).")},
    {IDS_CLI_ONE_LETTER, TR("The zone letter must be a single character.")},
    {IDS_CLI_HELP_ALL, TR("Print this help with the options of every subcommand and exit")},
    {IDS_CLI_EXIT_STATUS,
     TR("Exit status: 0 success, 2 usage error, 3 calibration rejected, 4 file or "
        "format error.")},
    {IDS_CLI_REGISTER, TR("Load a map bitmap, calibrate it with three marks and save its map file "
                          "and registration file.")},
    {IDS_CLI_REGISTER_BITMAP, TR("The map bitmap (.bmp).")},
    {IDS_CLI_REGISTER_OUTPUT,
     TR("The map file to write; by default the bitmap's path with the extension .gpm.")},
    {IDS_CLI_INFO, TR("Print the fields stored in a map file as one JSON object.")},
    {IDS_CLI_INFO_FILE, TR("The map file (.gpm).")},
    {IDS_CLI_EXPORT,
     TR("Export the calibration of a map file for other programs: a world file with its coordinate "
        "system beside the bitmap, or an OziExplorer .map file; or the map itself for devices and "
        "GIS: MBTiles or a GeoTIFF.")},
    {IDS_CLI_EXPORT_MAP, TR("The map file (.gpm).")},
    {IDS_CLI_EXPORT_WORLD_FILE,
     TR("Write the world file and the .aux.xml with the coordinate system beside the bitmap.")},
    {IDS_CLI_EXPORT_OZI_MAP, TR("Write an OziExplorer .map calibration file.")},
    {IDS_CLI_EXPORT_OUTPUT,
     TR("Where to write the .map file (default: beside the bitmap, named after it).")},
    {IDS_CLI_EXPORT_NO_BITMAP, TR("Cannot open the map bitmap %1.")},
    {IDS_APP_USAGE,
     TR("Usage: mapreg [OPTION]... [MAP.gpm]\n"
        "Registers a scanned map picture for a handheld GPS device: opens MAP.gpm, or\n"
        "starts with a new map.  When the program runs already on this display, the\n"
        "map opens in its window.\n"
        "\n"
        "  -h, --help     print this help and exit\n"
        "  -v, --version  print the version and exit\n")},
    {IDS_APP_UNKNOWN_OPTION, TR("mapreg: unknown option %1 ignored")},
    {IDS_APP_HANDOVER_REFUSED,
     TR("mapreg: the running program ended before it opened the map; it opens here")},
    {IDS_APP_HANDOVER_NO_ANSWER,
     TR("mapreg: the running program does not answer; this one runs on its own")},
    {IDS_APP_HANDOVER_NOT_OURS,
     TR("mapreg: the program's socket belongs to another user; this one runs on its own")},
    {IDS_IMPORT_CANNOT_READ, TR("Cannot read the picture %1.")},
    {IDS_IMPORT_TOO_LARGE,
     TR("The picture %1 is too large for a bitmap file, which holds at most 4 GB.")},
    {IDS_IMPORT_CANNOT_WRITE, TR("Cannot write the bitmap %1.")},
    {IDS_IMPORT_UNKNOWN_SYSTEM, TR("The coordinate system of %1 is not known, so the map is not "
                                   "calibrated.  Calibrate it by hand.")},
    {IDS_IMPORT_CALIBRATED,
     TR("The map was calibrated from the coordinates stored in the picture.  Its three marks "
        "differ from them by at most %1 m anywhere on the map.")},
    {IDS_IMPORT_DEVIATION_WARNING,
     TR("Warning: the device will show this map up to %1 m away from where its coordinates put it, "
        "more than one pixel, because it reads only the picture's two outer corners.  Straighten "
        "the map for the device to make it exact.")},
    {IDS_IMPORT_REJECTED, TR("The coordinates stored in %1 cannot be used as a calibration.")},
    {IDS_IMPORT_PROGRESS, TR("Converting %1 ...")},
    {IDS_IMPORT_FILTER, TR("Map pictures")},
    {IDS_IMPORT_SAME_FILE, TR("The bitmap would replace the picture %1 itself.")},
    {IDS_IMPORT_BAD_ZONE, TR("The UTM zone %1 is not a zone from 1 to 60.")},
    {IDS_CLI_IMPORT,
     TR("Convert a picture (TIFF, JPEG, PNG, ...) to a map bitmap and write its map "
        "file, calibrated from the picture's georeferencing when it has any.")},
    {IDS_CLI_IMPORT_SOURCE, TR("The picture to import.")},
    {IDS_CLI_IMPORT_OUTPUT, TR("The bitmap to write (default: the picture's name with .bmp).")},
    {IDS_CLI_IMPORT_LATLON, TR("Calibrate in latitude/longitude.")},
    {IDS_CLI_IMPORT_UTM, TR("Calibrate in UTM, in ZONE (a number, optionally with its band letter) "
                            "or else in the zone of the picture's centre.")},
    {IDS_WORKER_NOT_STARTED, TR("The helper program %1 could not be started.")},
    {IDS_WORKER_CRASHED, TR("The helper program that reads the picture stopped unexpectedly.  The "
                            "map is as it was.")},
    {IDS_CLI_PROGRESS,
     TR("Report progress on standard error as lines \"progress F\" (F from 0 to "
        "1); on SIGTERM stop at the next step, remove temporary files and exit 5.")},
    {IDS_CLI_IMPORT_CHECK, TR("Only open the picture: print its width and height when it can be "
                              "converted.")},
    {IDS_CLI_IMPORT_BITMAP_ONLY,
     TR("Write the bitmap alone and print the calibration found instead of writing the map file.")},
    {IDS_CLI_FORMATS, TR("Print the file extensions of the pictures import reads, one per line.")},
    {IDS_IMPORT_NOT_PLAIN_FILE,
     TR("%1 is not a plain file (a pipe, socket or device), so it is not read.")},
    {IDS_IMPORT_TOO_WIDE,
     TR("The picture %1 is too wide to convert: a row may hold at most 8 million pixels.")},
    {IDS_IMPORT_NO_MEMORY, TR("There is not enough memory to convert the picture %1.")},
    {IDS_IMPORT_OUTPUT_IS_SOURCE, TR("The registration file would replace the picture %1 itself.  "
                                     "Give the bitmap another name.")},
    {IDS_TEXT_FILE_FOREIGN, TR("The file %1 was not written because it exists and is not a "
                               "registration or waypoint file.  Move or rename it first.")},
    {IDS_IMPORT_VRT_RAW_BAND,
     TR("%1 reads the bytes of other files directly (a raw band), which is not allowed.")},
    {IDS_POINTS_CANNOT_READ, TR("Cannot read the control points file %1.")},
    {IDS_POINTS_MALFORMED,
     TR("%1, line %2: not a control point. Each line holds mapX,mapY,sourceX,sourceY,enable: four "
        "numbers and 0 or 1.")},
    {IDS_POINTS_UNKNOWN_CRS,
     TR("%1, line 1: the coordinate system of the #CRS line cannot be read or converted.")},
    {IDS_POINTS_NO_CRS,
     TR("%1 names no coordinate system (no #CRS line): choose one with --latlon or --utm ZONE.")},
    {IDS_POINTS_NOT_CONVERTED,
     TR("%1, line %2: the point cannot be converted into the map's coordinate system.")},
    {IDS_POINTS_TOO_FEW, TR("A fit needs at least three enabled control points.")},
    {IDS_POINTS_DEGENERATE, TR("The enabled control points lie on one line in the picture; no fit "
                               "can be made from them.")},
    {IDS_CLI_FIT, TR("Fit the control points of a points file and print each point's residuals")},
    {IDS_CLI_FIT_POINTS, TR("The control points file (.points)")},
    {IDS_CLI_FIT_LATLON, TR("Fit in longitude/latitude on WGS 84")},
    {IDS_CLI_FIT_UTM, TR("Fit in UTM, in ZONE (a number, optionally with its band letter)")},
    {IDS_CLI_FIT_SIZE, TR("The picture's width and height, for the device error")},
    {IDS_CLI_FIT_JSON, TR("Print the fit as one JSON object")},
    {IDS_CLI_REGISTER_POINTS,
     TR("Calibrate from the least-squares fit of the control points in this file")},
    {IDS_CLI_REGISTER_MARKS_OR_POINTS,
     TR("register takes either three --mark options or --points.")},
    {IDS_UNDO_CALIBRATE, TR("Calibrate")},
    {IDS_UNDO_APPLY_POINTS, TR("Apply Control Points")},
    {IDS_UNDO_ADD_POINT, TR("Add Point %1")},
    {IDS_UNDO_MOVE_POINT, TR("Move Point %1")},
    {IDS_UNDO_EDIT_POINT, TR("Edit Point %1")},
    {IDS_UNDO_ENABLE_POINT, TR("Enable Point %1")},
    {IDS_UNDO_DELETE_POINT, TR("Delete Point %1")},
    {IDS_UNDO, TR("&Undo")},
    {IDS_REDO, TR("&Redo")},
    {IDS_MENU_EDIT, TR("&Edit")},
    {IDS_CLI_HELP_FLAG, TR("Print this help message and exit")},
    {IDS_CLI_VERSION_FLAG, TR("Display program version information and exit")},
    {IDS_CLI_LABEL_USAGE, TR("Usage")},
    {IDS_CLI_LABEL_OPTIONS, TR("Options")},
    {IDS_CLI_LABEL_POSITIONALS, TR("Positionals")},
    {IDS_CLI_LABEL_SUBCOMMANDS, TR("Subcommands")},
    {IDS_CLI_LABEL_OPTIONS_ARG, TR("OPTIONS")},
    {IDS_CLI_LABEL_SUBCOMMAND_ARG, TR("SUBCOMMAND")},
    {IDS_CLI_LABEL_REQUIRED, TR("REQUIRED")},
    {IDS_CLI_LABEL_EXCLUDES, TR("Excludes")},
    {IDS_CLI_LABEL_NEEDS, TR("Needs")},
    {IDS_CLI_OPTION_GROUP, TR("[Option Group: %1]")},
    {IDS_CLI_EXACTLY_ONE_OPTION, TR("[Exactly 1 of the following options is required]")},
    {IDS_CLI_EXPORT_FORMAT_GROUP, TR("format")},
    {IDS_DEVICE_CANNOT_READ, TR("Cannot read the map bitmap %1.")},
    {IDS_DEVICE_CANNOT_WRITE, TR("Cannot write %1.")},
    {IDS_DEVICE_CANNOT_MAKE, TR("GDAL could not make %1 from the map.")},
    {IDS_CLI_EXPORT_KMZ,
     TR("Write a Garmin custom map: a KMZ of JPEG tiles in latitude/longitude.")},
    {IDS_CLI_EXPORT_MBTILES, TR("Write MBTiles: Web Mercator tiles for phone map apps.")},
    {IDS_CLI_EXPORT_GEOTIFF,
     TR("Write a Cloud-Optimised GeoTIFF of the bitmap with its calibration.")},
    {IDS_CLI_EXPORT_MAX_TILES,
     TR("The most tiles the device takes (KMZ); the resolution is lowered to fit.")},
    {IDS_CLI_EXPORT_JPEG_QUALITY, TR("JPEG quality of the KMZ tiles, 1 to 100.")},
    {IDS_CLI_EXPORT_MIN_ZOOM,
     TR("The lowest zoom level of the MBTiles (default: four below the highest).")},
    {IDS_CLI_EXPORT_STRAIGHTEN,
     TR("Warp the GeoTIFF north-up into the map's coordinate system first.")},
    {IDS_KMZ_FILTER, TR("Garmin Custom Maps (*.kmz)|*.kmz|All Files (*.*)|*.*||")},
    {IDS_MBTILES_FILTER, TR("MBTiles (*.mbtiles)|*.mbtiles|All Files (*.*)|*.*||")},
    {IDS_GEOTIFF_FILTER, TR("GeoTIFF (*.tif)|*.tif;*.tiff|All Files (*.*)|*.*||")},
    {IDS_DEVICE_EXPORT_PROGRESS, TR("Writing %1...")},
    {IDS_DEVICE_ANTIMERIDIAN,
     TR("The map reaches across the 180\u00B0 meridian, where a Web Mercator tile set ends, so %1 "
        "cannot hold it.  Export it as a Garmin custom map (KMZ) or a GeoTIFF instead.")},
    {IDS_STRAIGHT_TOO_LARGE,
     TR("The straightened map would be %1 pixels, more than a map file holds (65535 by 65535).  "
        "A pixel size of %2 m or more fits (--pixel-size).")},
    {IDS_STRAIGHT_NO_GRID, TR("The corners of %1 cannot be placed in the device's coordinates, so "
                              "the map cannot be straightened.")},
    {IDS_STRAIGHT_NOT_CALIBRATED,
     TR("The map %1 is not calibrated, so it cannot be straightened.")},
    {IDS_STRAIGHT_NO_BITMAP, TR("Cannot read the bitmap %1 of the map.")},
    {IDS_CLI_RECTIFY, TR("Straighten a calibrated map for the device: warp its picture into the "
                         "north-up grid the device reads, and write the new bitmap, its map file "
                         "and its registration file.")},
    {IDS_CLI_RECTIFY_MAP, TR("The map file to straighten.")},
    {IDS_CLI_RECTIFY_OUTPUT,
     TR("The bitmap to write (default: the map's bitmap name with -straight.bmp).")},
    {IDS_CLI_RECTIFY_PIXEL_SIZE,
     TR("The ground size of a pixel in metres (default: the picture's at its centre).")},
    {IDS_CLI_IMPORT_RECTIFY, TR("Straighten the picture for the device instead of converting it "
                                "pixel for pixel.")},
    {IDS_IMPORT_GCPS_TOO_FEW,
     TR("The picture %1 is georeferenced by fewer than three usable control points, so the map is "
        "not calibrated.  Calibrate it by hand.")},
    {IDS_IMPORT_OUTSIDE_PROJECTION,
     TR("The corners of %1 lie outside the area its coordinate system covers, so the map is not "
        "calibrated.  Calibrate it by hand.")},
    {IDS_IMPORT_TOO_NARROW,
     TR("The picture %1 is too narrow for three calibration marks.  The bitmap is kept for a "
        "calibration by hand.")},
    {IDS_STRAIGHT_NO_COORDINATES, TR("The picture %1 has no coordinates the program can use, so it "
                                     "cannot be straightened.")},
    {IDS_PANE_DEVICE, TR("Device \u00B1%1 m")},
    {IDS_PANE_DEVICE_TIP, TR("How far the device puts this map from where its calibration puts it: "
                             "the device reads only the two outer corners of a north-up picture.  "
                             "Red when that is more than a pixel.")},
    {IDS_STRAIGHT_OFFER, TR("Straighten the map for the device now?")},
    {IDS_STRAIGHT_PROGRESS, TR("Straightening %1 ...")},
    {IDS_STRAIGHT_FAILED, TR("The map of %1 could not be straightened.")},
    {IDS_IMPORT_ANTIMERIDIAN,
     TR("The picture %1 reaches across the 180\u00B0 meridian, where a latitude/longitude map "
        "ends on the device, so the map is not calibrated.  Import it in UTM instead.")},
    {IDS_STRAIGHT_ANTIMERIDIAN,
     TR("%1 reaches across the 180\u00B0 meridian, where a latitude/longitude map ends on the "
        "device.  Straighten it into UTM instead.")},
    {IDS_CALIB_READ_AS_TIP, TR("How OK reads the field above: decimal degrees with the "
                               "hemisphere, for UTM those of the mark's easting, northing and "
                               "zone")},
    {IDS_PANE_GROUND, TR("Pixel %1 \u00D7 %2 m, turned %3\u00B0")},
    {IDS_PANE_GROUND_TIP, TR("The ground one pixel covers across and down at the centre of the "
                             "map, and how far its rows are turned from east (clockwise)")},
    {IDS_MENU_CONTROL_POINTS, TR("Control &Points")},
    {IDS_MENU_APPLY_POINTS, TR("&Apply Control Points")},
    {IDS_MENU_DELETE_POINT, TR("&Delete Point\tDel")},
    {IDS_POINTS_DOCK_TITLE, TR("Control Points")},
    {IDS_POINTS_COLUMN_NUMBER, KEEP("#")},
    {IDS_POINTS_COLUMN_ENABLED, TR("Enabled")},
    {IDS_POINTS_COLUMN_RESIDUAL, TR("Residual (m)")},
    {IDS_POINTS_COLUMN_LEAVE_ONE_OUT, TR("Leave-one-out (m)")},
    {IDS_POINTS_SUMMARY, TR("RMS %1 m\nWorst point: %2\nDevice error: %3 m")},
    {IDS_POINTS_NONE, TR("none")},
    {IDS_POINTS_APPLY_REPLACE,
     TR("The map is already calibrated.  Replace its calibration by the fit of the control "
        "points?")},
    {IDS_UNDO_DISABLE_POINT, TR("Disable Point %1")},
    {IDS_UNDO_POINTS_KIND, TR("Change Units")},
    {IDS_UNDO_ADD_WAYPOINT, TR("Add Waypoint %1")},
    {IDS_UNDO_REMOVE_WAYPOINT, TR("Remove Waypoint %1")},
    {IDS_CLI_RECTIFY_ORDER,
     TR("Warp through the map's enabled control points with a polynomial of this order: 1, 2 "
        "(6 points or more) or 3 (10 or more). The new map is still exact on the device.")},
    {IDS_CLI_RECTIFY_TPS, TR("Warp through the map's enabled control points with a thin-plate "
                             "spline (10 points or more).")},
    {IDS_STRAIGHT_NO_POINTS,
     TR("The map has no control points (%1 is missing), so it cannot be straightened through "
        "them.")},
    {IDS_STRAIGHT_TOO_FEW_POINTS,
     TR("%1: at least %2 enabled control points are needed; the map has %3.")},
    {IDS_STRAIGHT_POINTS_NO_FIT, TR("%1: no fit can be made through the map's enabled control "
                                    "points; they lie too close to a line in the picture.")},
    {IDS_STRAIGHT_CHOOSE_FIT,
     TR("Straighten through which fit?\nThe map file and the device hold only the calibration's "
        "affine fit; a polynomial or a thin-plate spline through the control points bends the "
        "picture itself.")},
    {IDS_STRAIGHT_FIT_AFFINE, TR("Affine, from the calibration")},
    {IDS_STRAIGHT_FIT_ORDER1, TR("First-order polynomial")},
    {IDS_STRAIGHT_FIT_ORDER2, TR("Second-order polynomial")},
    {IDS_STRAIGHT_FIT_ORDER3, TR("Third-order polynomial")},
    {IDS_STRAIGHT_FIT_TPS, TR("Thin-plate spline")},
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

} // namespace StringTable

#undef TR
#undef KEEP

namespace {

using StringTable::kStrings;

// The translated text of each entry of kStrings, by position; empty where the English text
// stands (no translation installed, a text kept English, or one the translation lacks).
std::vector<std::string>& Translations() {
    static std::vector<std::string> texts;
    return texts;
}

} // namespace

void TranslateStringTable(const std::function<std::string(std::string_view)>& translate) {
    std::vector<std::string> texts(std::size(kStrings));
    for (std::size_t i = 0; i < std::size(kStrings); ++i) {
        if (kStrings[i].bTranslatable) {
            texts[i] = translate(kStrings[i].text);
        }
    }
    Translations() = std::move(texts);
}

std::string_view LoadStringId(unsigned id) {
    const auto* end = std::end(kStrings);
    const auto* it = std::lower_bound(std::begin(kStrings), end, id,
                                      [](const Entry& e, unsigned key) { return e.id < key; });
    if (it == end || it->id != id) {
        return {};
    }
    const std::vector<std::string>& translations = Translations();
    const auto index = static_cast<std::size_t>(it - std::begin(kStrings));
    if (index < translations.size() && !translations[index].empty()) {
        return translations[index];
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

} // namespace mapreg
