#pragma once
// The OziExplorer ".map" calibration text, read by phone map apps.

#include "document/export/CExportSource.h"

#include <optional>
#include <string>

namespace mapreg {

// The ".map" text (lines end in CR LF). bitmapPath is written as given (the caller makes it
// absolute); the three control points become Point01..Point03 with their pixels and
// latitude/longitude (UTM marks converted on WGS 84), the picture corners the MMPXY/MMPLL
// lines. A latitude/longitude calibration uses the Latitude/Longitude projection; a UTM one
// the zone's Transverse Mercator projection, its points also carrying easting and northing.
// Nothing when the source is not calibrated with a usable transform.
std::optional<std::string> BuildOziMap(const CExportSource& source, const std::string& bitmapPath);
// Whether BuildOziMap gives a text, decided without building it.
bool CanBuildOziMap(const CExportSource& source);

} // namespace mapreg
