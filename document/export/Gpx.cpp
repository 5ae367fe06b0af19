#include "document/export/Gpx.h"

#include "document/export/ExportText.h"
#include "resources/StringTable.h"

#include <cmath>

namespace mapreg {

int CountUnwritableWaypoints(const std::vector<CDoublePoint>& waypoints) {
    int count = 0;
    for (const CDoublePoint& wp : waypoints) {
        if (!std::isfinite(wp.x) || !std::isfinite(wp.y) || std::fabs(wp.x) > 90.0) {
            ++count;
        }
    }
    return count;
}

std::string BuildGpx(const std::vector<CDoublePoint>& waypoints, std::string_view name) {
    const std::string_view title = LoadStringId(IDR_MAINFRAME);
    const std::string creator(title.substr(0, title.find('\n')));
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    text += "<gpx version=\"1.1\" creator=\"" + XmlText(creator, true) +
            "\" xmlns=\"http://www.topografix.com/GPX/1/1\""
            " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
            " xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1"
            " http://www.topografix.com/GPX/1/1/gpx.xsd\">\n";
    if (!name.empty()) {
        text += "  <metadata>\n    <name>" + XmlText(name) + "</name>\n  </metadata>\n";
    }
    for (std::size_t i = 0; i < waypoints.size(); ++i) {
        const CDoublePoint& wp = waypoints[i];
        if (!std::isfinite(wp.x) || !std::isfinite(wp.y) || std::fabs(wp.x) > 90.0) {
            continue;
        }
        std::string number = std::to_string(i + 1);
        number.insert(0, number.size() < 3 ? 3 - number.size() : 0, '0');
        // "-0" is a valid decimal, but plain 0 reads better.
        const double latitude = wp.x == 0.0 ? 0.0 : wp.x;
        const double longitude = NormalizeLongitude(wp.y == 0.0 ? 0.0 : wp.y);
        text += "  <wpt lat=\"" + ExactDecimal(latitude) + "\" lon=\"" + ExactDecimal(longitude) +
                "\">\n    <name>WP" + number + "</name>\n  </wpt>\n";
    }
    text += "</gpx>\n";
    return text;
}

} // namespace mapreg
