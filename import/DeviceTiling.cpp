#include "import/DeviceTiling.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

namespace mapreg {

namespace {

// Pixels of a side of length `pixels` at a resolution `scale` times coarser; a hair below a
// whole number counts as that number, so that a scale chosen to fit n tiles gives n.
int ScaledSide(int pixels, double scale) {
    return std::max(1, static_cast<int>(std::ceil(pixels / scale - 1e-9)));
}

int TilesAlong(int pixels, int tileSize) {
    return (pixels + tileSize - 1) / tileSize;
}

// Whether the segment a-b reaches into the rectangle [x0, x1] x [y0, y1] (Liang-Barsky).
bool SegmentTouchesRect(CDoublePoint a, CDoublePoint b, double x0, double y0, double x1,
                        double y1) {
    double t0 = 0.0;
    double t1 = 1.0;
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - x0, x1 - a.x, a.y - y0, y1 - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) {
            return false;
        }
    }
    return true;
}

bool InsidePolygon(CDoublePoint p, const std::vector<CDoublePoint>& polygon) {
    bool inside = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const CDoublePoint a = polygon[i];
        const CDoublePoint b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

// A degree value with ten decimals (about a centimetre), whatever the locale.
std::string Degrees(double value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 10);
    return std::string(buffer, result.ptr);
}

std::string EscapeXml(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

std::array<int, 4> SKmzTilePlan::TileRect(int column, int row) const {
    const int x0 = column * tileSize;
    const int y0 = row * tileSize;
    return {x0, y0, std::min(tileSize, width - x0), std::min(tileSize, height - y0)};
}

std::array<double, 4> SKmzTilePlan::TileBox(int column, int row) const {
    const std::array<int, 4> r = TileRect(column, row);
    const double boxWest = west + r[0] * pixelX;
    const double shift = 360.0 * std::floor((boxWest + 180.0) / 360.0);
    return {north - r[1] * pixelY, north - (r[1] + r[3]) * pixelY,
            west + (r[0] + r[2]) * pixelX - shift, boxWest - shift};
}

SKmzTilePlan PlanKmzTiles(double west, double north, double pixelX, double pixelY, int width,
                          int height, int maxTiles, int tileSize) {
    const auto count = [&](double scale) {
        return static_cast<long long>(TilesAlong(ScaledSide(width, scale), tileSize)) *
               TilesAlong(ScaledSide(height, scale), tileSize);
    };
    // The scales at which a side fills exactly n tiles are the only places the count drops.
    std::vector<double> scales{1.0};
    for (int n = 1; n <= std::max(1, maxTiles); ++n) {
        for (const int side : {width, height}) {
            const double scale = static_cast<double>(side) / (static_cast<double>(tileSize) * n);
            if (scale > 1.0) {
                scales.push_back(scale);
            }
        }
    }
    std::sort(scales.begin(), scales.end());
    double scale = scales.back();
    for (const double s : scales) {
        if (count(s) <= std::max(1, maxTiles)) {
            scale = s;
            break;
        }
    }
    SKmzTilePlan plan;
    plan.west = west;
    plan.north = north;
    plan.pixelX = pixelX * scale;
    plan.pixelY = pixelY * scale;
    plan.width = ScaledSide(width, scale);
    plan.height = ScaledSide(height, scale);
    plan.tileSize = tileSize;
    plan.columns = TilesAlong(plan.width, tileSize);
    plan.rows = TilesAlong(plan.height, tileSize);
    plan.scale = scale;
    return plan;
}

bool TileTouchesOutline(const SKmzTilePlan& plan, int column, int row,
                        const std::vector<CDoublePoint>& outline) {
    const std::array<int, 4> r = plan.TileRect(column, row);
    return RectTouchesOutline(r[0], r[1], r[0] + r[2], r[1] + r[3], outline);
}

bool RectTouchesOutline(double x0, double y0, double x1, double y1,
                        const std::vector<CDoublePoint>& outline) {
    if (outline.size() < 3) {
        return false;
    }
    for (std::size_t i = 0; i < outline.size(); ++i) {
        if (SegmentTouchesRect(outline[i], outline[(i + 1) % outline.size()], x0, y0, x1, y1)) {
            return true;
        }
    }
    // No edge crosses the tile: it lies wholly inside the outline or wholly outside.
    return InsidePolygon({(x0 + x1) / 2.0, (y0 + y1) / 2.0}, outline);
}

std::string BuildKml(const std::string& mapName, const std::vector<SKmlOverlay>& overlays,
                     int drawOrder) {
    const std::string name = EscapeXml(mapName);
    std::string kml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n<name>" +
                      name + "</name>\n";
    for (const SKmlOverlay& o : overlays) {
        kml += "<GroundOverlay>\n<name>" + name + "</name>\n<drawOrder>" +
               std::to_string(drawOrder) + "</drawOrder>\n<Icon><href>" + EscapeXml(o.href) +
               "</href></Icon>\n<LatLonBox><north>" + Degrees(o.box[0]) + "</north><south>" +
               Degrees(o.box[1]) + "</south><east>" + Degrees(o.box[2]) + "</east><west>" +
               Degrees(o.box[3]) + "</west></LatLonBox>\n</GroundOverlay>\n";
    }
    kml += "</Document>\n</kml>\n";
    return kml;
}

int MaxZoomFor(double metresPerPixel) {
    constexpr double kZoomZeroPixel = 156543.03392804097; // 2 pi 6378137 m / 256
    if (!(std::isfinite(metresPerPixel) && metresPerPixel > 0.0)) {
        return kMaxZoom;
    }
    const double zoom = std::ceil(std::log2(kZoomZeroPixel / metresPerPixel) - 1e-9);
    return static_cast<int>(std::clamp(zoom, 0.0, static_cast<double>(kMaxZoom)));
}

double ZoomPixelMetres(int zoom, double latitude) {
    constexpr double kZoomZeroPixel = 156543.03392804097;
    return kZoomZeroPixel / std::ldexp(1.0, zoom) * std::cos(latitude * std::numbers::pi / 180.0);
}

CDoublePoint LonLatToMercator(CDoublePoint lonLat) {
    constexpr double kRadius = 6378137.0;
    constexpr double kRadians = std::numbers::pi / 180.0;
    const double y =
        kRadius * std::log(std::tan(std::numbers::pi / 4.0 + lonLat.y * kRadians / 2.0));
    return {kRadius * lonLat.x * kRadians, std::clamp(std::isnan(y) ? -kMercatorHalfWorld : y,
                                                      -kMercatorHalfWorld, kMercatorHalfWorld)};
}

double MercatorPixelSize(int zoom) {
    return 2.0 * kMercatorHalfWorld / (256.0 * std::ldexp(1.0, zoom));
}

double SuggestedPixelSize(CDoublePoint topLeft, CDoublePoint bottomRight, int width, int height) {
    return std::hypot(bottomRight.x - topLeft.x, bottomRight.y - topLeft.y) /
           std::hypot(static_cast<double>(width), static_cast<double>(height));
}

} // namespace mapreg
