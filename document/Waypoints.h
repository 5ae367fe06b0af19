#pragma once
// The waypoint table of the application, filled by the map view and written to the
// waypoint file by the document. Not part of any map: it lives for the whole run.

#include "CDoublePoint.h"

#include <array>

inline constexpr int kMaxWaypoints = 100;

// Waypoint i: x = latitude, y = longitude, decimal degrees.
extern std::array<CDoublePoint, kMaxWaypoints> g_waypoints;
// Index given to the most recent waypoint click (may be 100 or more when the table was full).
extern int g_nLastWaypoint;
// How many waypoints are on the map now: entries 0 .. g_nPlacedWaypoints - 1 are placed.
// The view raises it when a pointer is placed and lowers it when one is taken away.
extern int g_nPlacedWaypoints;
