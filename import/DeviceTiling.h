#pragma once
// The tile arithmetic of the device exports, apart from any picture: the tile plan of a Garmin
// custom map (a north-up latitude/longitude grid cut into JPEG tiles of at most 1024 x 1024
// pixels, its resolution lowered evenly until the tiles number at most the device's limit), which
// of its tiles the map covers, the doc.kml that places them, and the zoom levels and pixels of a
// Web Mercator tile set. Plain C++; grids use GDAL's convention (pixel (0,0) spans 0..1).

#include "georef/CDoublePoint.h"

#include <array>
#include <string>
#include <vector>

namespace mapreg {

// A north-up grid: x = west + column * pixelX, y = north - row * pixelY.
struct SKmzTilePlan {
    double west = 0.0;   // degrees of longitude at the grid's left edge
    double north = 0.0;  // degrees of latitude at its top edge
    double pixelX = 0.0; // degrees per pixel, > 0
    double pixelY = 0.0;
    int width = 0; // pixels of the whole grid at this resolution
    int height = 0;
    int tileSize = 1024; // the side of a full tile; the last column and row may be narrower
    int columns = 0;
    int rows = 0;
    double scale = 1.0; // how many times coarser than the map's own pixel, >= 1

    // The pixel rectangle of tile (column, row): x0, y0, width, height.
    std::array<int, 4> TileRect(int column, int row) const;
    // Its edges in degrees: north, south, east, west, as a LatLonBox names them. A grid across
    // the 180° meridian runs on past it; each box is taken back so that its west edge lies in
    // [-180°, 180°), and a tile over the meridian keeps its east edge beyond 180°, as KML has it
    // for overlays there.
    std::array<double, 4> TileBox(int column, int row) const;
};

// Plans the tiles of a grid of width x height pixels of pixelX x pixelY degrees from (west,
// north): at the grid's own resolution when the tiles number at most maxTiles, else at the
// finest evenly lowered resolution (square pixels stay square) that needs no more.
SKmzTilePlan PlanKmzTiles(double west, double north, double pixelX, double pixelY, int width,
                          int height, int maxTiles, int tileSize = 1024);

// Whether the closed polygon (in the plan's pixel coordinates) reaches into tile (column, row):
// a tile wholly outside the picture's outline is left out of the map.
bool TileTouchesOutline(const SKmzTilePlan& plan, int column, int row,
                        const std::vector<CDoublePoint>& outline);
// Whether the closed polygon reaches into the rectangle [x0, x1] x [y0, y1].
bool RectTouchesOutline(double x0, double y0, double x1, double y1,
                        const std::vector<CDoublePoint>& outline);

// One tile of doc.kml: its picture inside the archive and its LatLonBox.
struct SKmlOverlay {
    std::string href;            // "files/r0c0.jpg"
    std::array<double, 4> box{}; // north, south, east, west
};

// doc.kml: one GroundOverlay per tile, named after the map, all at drawOrder.
std::string BuildKml(const std::string& mapName, const std::vector<SKmlOverlay>& overlays,
                     int drawOrder = 50);

// The first Web Mercator zoom level (of 256-pixel tiles) whose pixel is at least as fine as
// metresPerPixel, in Web Mercator metres, 0..kMaxZoom.
inline constexpr int kMaxZoom = 24;
int MaxZoomFor(double metresPerPixel);
// Ground size of a pixel at zoom and latitude (degrees), metres.
double ZoomPixelMetres(int zoom, double latitude);

// Web Mercator (EPSG:3857) metres from the prime meridian and the equator of a longitude and
// latitude (degrees); latitudes beyond the square world's edge (about 85.05 degrees) go to it.
inline constexpr double kMercatorHalfWorld = 20037508.342789244; // pi 6378137 m
CDoublePoint LonLatToMercator(CDoublePoint lonLat);
// The side of a pixel at zoom, Web Mercator metres; pixel (0, 0) of a zoom level is the world's
// north-west corner, tile (column, row) holds pixels from (256 column, 256 row).
double MercatorPixelSize(int zoom);
// The pixel size GDAL suggests for warping a width x height picture whose top-left and
// bottom-right corners land at topLeft and bottomRight (the distance between them over the
// picture's diagonal, as GDALSuggestedWarpOutput has it).
double SuggestedPixelSize(CDoublePoint topLeft, CDoublePoint bottomRight, int width, int height);

} // namespace mapreg
