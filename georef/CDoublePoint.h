#pragma once
// A point of two doubles. As a picture point: pixels, x to the right, y downwards from the
// top-left corner. As a world point: longitude/latitude in degrees or UTM easting/northing in
// metres, depending on the coordinate type of whoever holds it.

namespace mapreg {

struct CDoublePoint {
    double x = 0.0;
    double y = 0.0;
};

} // namespace mapreg
