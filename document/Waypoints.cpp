#include "Waypoints.h"

std::array<CDoublePoint, kMaxWaypoints> g_waypoints{};
int g_nLastWaypoint = 0;
int g_nPlacedWaypoints = 0;
