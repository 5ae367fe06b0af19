#pragma once
// Control ids of the dialogs, also their object names ("ctl1022", see ControlName) by which
// tests find the controls. A control that two dialogs share has one id in both.

namespace mapreg {

enum ControlId : int {
    IDOK = 1,
    IDCANCEL = 2,
    // Calibration Mark Coordinates: headings, the world and pixel fields of marks 1 to 3, zone
    IDC_HEADING_LATITUDE = 1026,
    IDC_HEADING_LONGITUDE = 1027,
    IDC_LATITUDE_1 = 1012,
    IDC_LONGITUDE_1 = 1007,
    IDC_X_1 = 1018,
    IDC_Y_1 = 1011,
    IDC_LATITUDE_2 = 1009,
    IDC_LONGITUDE_2 = 1008,
    IDC_X_2 = 1020,
    IDC_Y_2 = 1015,
    IDC_LATITUDE_3 = 1013,
    IDC_LONGITUDE_3 = 1014,
    IDC_X_3 = 1017,
    IDC_Y_3 = 1016,
    IDC_ZONE_LABEL = 1028,
    IDC_ZONE = 1019,
    // ... and beneath each world field what it is read as (latitude, longitude of marks 1 to 3)
    IDC_READ_LATITUDE_1 = 1050,
    IDC_READ_LONGITUDE_1 = 1051,
    IDC_READ_LATITUDE_2 = 1052,
    IDC_READ_LONGITUDE_2 = 1053,
    IDC_READ_LATITUDE_3 = 1054,
    IDC_READ_LONGITUDE_3 = 1055,
    // The coordinate type, in Calibration Mark Coordinates and in Display Format
    IDC_LATLON = 1022,
    IDC_UTM = 1023,
    // Display Format: the latitude/longitude layouts and their group, the example line, the units
    IDC_FORMAT_DEGREES = 1032,
    IDC_FORMAT_MINUTES = 1033,
    IDC_FORMAT_SECONDS = 1034,
    IDC_EXAMPLE = 1036,
    IDC_FORMAT_GROUP = 1037,
    IDC_METRIC = 1042,
    IDC_STATUTE = 1043,
    IDC_NAUTICAL = 1044,
};

} // namespace mapreg
