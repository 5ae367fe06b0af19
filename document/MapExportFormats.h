#pragma once
// The file formats in which a registered map goes to other programs: the world file with a
// GDAL .aux.xml coordinate system beside the bitmap, GPX 1.1 waypoints and the OziExplorer
// ".map" calibration text. Pure text builders (no file access, no Qt); every number is written
// the same whatever the locale. World coordinates are degrees (longitude, latitude) or UTM
// metres (easting, northing) as the calibration's coordinate type says.

#include "CAffine.h"
#include "CCalibration.h"
#include "CDoublePoint.h"
#include "CMapTransform.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the exports need to know of a registered map.
struct CExportSource {
    std::string bitmapPath; // empty for the built-in default map
    int width = 0;          // bitmap size in pixels
    int height = 0;
    bool calibrated = false;
    // Coordinate type, zone and letter of the world points; the transform maps by the marks as
    // they were given.
    CCalibration calibration{.zone = 0, .letter = 'N'};
    CMapTransform transform;
    // Placed waypoints: x = latitude, y = longitude, degrees.
    std::vector<CDoublePoint> waypoints;
};

// "city.bpw" for "city.bmp": the first and last letter of the extension and 'w' (in the case of
// the extension's last letter); ".wld" when the file name has an extension of fewer than two
// letters or none.
std::string WorldFileName(const std::string& bitmapPath);
// "city.bmp.aux.xml" for "city.bmp".
std::string AuxXmlFileName(const std::string& bitmapPath);

// A number that reads back to the same double: printf's "%.17g", whatever the locale.
std::string ExactNumber(double value);
// Shortest fixed-point text that reads back to the same double (no exponent, as XML decimals
// and GPX need); "0" for a non-finite value, which callers refuse before.
std::string ExactDecimal(double value);

// The six lines A, D, B, E, C, F of the world file, C and F at the centre of the upper-left
// pixel.
std::string BuildWorldFileText(const CAffine& affine);

// WKT of the coordinate system: WGS 84 geographic (EPSG:4326) for LatLon; WGS 84 / UTM
// zone N, north (EPSG:326NN) or south (EPSG:327NN) by the band letter, for Utm.
// Nothing for a UTM zone outside 1..60.
std::optional<std::string> CoordinateSystemWkt(CoordType coordType, int zone, char letter);
// GDAL's axis mapping of the data to the coordinate system: data x is longitude or easting.
std::string_view AxisMapping(CoordType coordType);

// A GDAL .aux.xml that holds the coordinate system. existing is the file's previous contents
// (empty when there was none): when it is a GDAL dataset description its SRS element is
// replaced, or added, and everything else in it is kept.
std::string BuildAuxXml(const std::string& wkt, CoordType coordType, std::string_view existing);

// How many waypoints BuildGpx leaves out: non-finite or latitude beyond +-90 degrees.
int CountUnwritableWaypoints(const std::vector<CDoublePoint>& waypoints);
// A GPX 1.1 document with one <wpt> per waypoint, named WP001, WP002, ... by its index in the
// table. Longitudes are brought into [-180, 180). name goes into the metadata when not empty.
std::string BuildGpx(const std::vector<CDoublePoint>& waypoints, std::string_view name);

// The OziExplorer ".map" text (lines end in CR LF). bitmapPath is written as given (the caller
// makes it absolute); the three control points become Point01..Point03 with their pixels and
// latitude/longitude (UTM marks converted on WGS 84), the picture corners the MMPXY/MMPLL
// lines. A latitude/longitude calibration uses the Latitude/Longitude projection; a UTM one
// the zone's Transverse Mercator projection, its points also carrying easting and northing.
// Nothing when the source is not calibrated with a usable transform.
std::optional<std::string> BuildOziMap(const CExportSource& source, const std::string& bitmapPath);
// Whether BuildOziMap gives a text, decided without building it.
bool CanBuildOziMap(const CExportSource& source);

// A world point of the source's coordinate type as a latitude/longitude world point
// (x longitude, y latitude, degrees); UTM is converted on WGS 84.
CDoublePoint WorldToLatLon(const CExportSource& source, CDoublePoint world);
