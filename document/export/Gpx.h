#pragma once
// GPX 1.1 waypoints.

#include "georef/CDoublePoint.h"

#include <string>
#include <string_view>
#include <vector>

namespace mapreg {

// How many waypoints BuildGpx leaves out: non-finite or latitude beyond +-90 degrees.
int CountUnwritableWaypoints(const std::vector<CDoublePoint>& waypoints);
// A GPX 1.1 document with one <wpt> per waypoint, named WP001, WP002, ... by its index in the
// table. Longitudes are brought into [-180, 180). name goes into the metadata when not empty.
std::string BuildGpx(const std::vector<CDoublePoint>& waypoints, std::string_view name);

} // namespace mapreg
