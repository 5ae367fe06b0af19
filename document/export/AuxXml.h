#pragma once
// The coordinate system beside the bitmap, in the .aux.xml file GDAL reads and writes.

#include "georef/CCalibration.h"

#include <optional>
#include <string>
#include <string_view>

namespace mapreg {

// "city.bmp.aux.xml" for "city.bmp".
std::string AuxXmlFileName(const std::string& bitmapPath);

// WKT of the coordinate system: WGS 84 geographic (EPSG:4326) for LatLon; WGS 84 / UTM
// zone N, north (EPSG:326NN) or south (EPSG:327NN) by the band letter, for Utm.
// Nothing for a UTM zone outside 1..60.
std::optional<std::string> CoordinateSystemWkt(CoordType coordType, int zone, char letter);
// GDAL's axis mapping of the data to the coordinate system: data x is longitude or easting.
std::string_view AxisMapping(CoordType coordType);

// A GDAL .aux.xml that holds the coordinate system. existing is the file's previous contents
// (empty when there was none): when it is a well-formed GDAL dataset description its SRS
// element is replaced, or added, and every other byte of it is kept.
std::string BuildAuxXml(const std::string& wkt, CoordType coordType, std::string_view existing);

} // namespace mapreg
