#pragma once
// Everything a user could lose in a map document, captured so that two moments can be compared
// field by field: flags, marks, zone, bitmap path and size, the picture object itself, the
// transform at the picture's corners, the active position type, file path, title and modified
// flag. Used by the map-file fuzz target and by the tests of failed opens.

#include "display/CMapBitmap.h"
#include "document/CGpsDoc.h"

#include <QImage>

#include <bit>
#include <cstdint>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace mapreg {

struct DocumentSnapshot {
    std::vector<std::pair<std::string, std::string>> fields; // name and value as text

    static DocumentSnapshot Of(const CGpsDoc& doc) {
        DocumentSnapshot s;
        const auto add = [&s](const char* name, const auto&... values) {
            std::ostringstream text;
            // Numbers by their bit patterns, so that NaN compares equal to itself.
            const auto put = [&text](const auto& v) {
                if constexpr (std::is_same_v<std::decay_t<decltype(v)>, CDoublePoint>) {
                    text << std::bit_cast<std::uint64_t>(v.x) << ','
                         << std::bit_cast<std::uint64_t>(v.y) << ' ';
                } else {
                    text << v << ' ';
                }
            };
            (put(values), ...);
            s.fields.emplace_back(name, text.str());
        };
        const int w = doc.GetMapWidth();
        const int h = doc.GetMapHeight();
        const QImage* picture = doc.GetBitmapObject().GetBitmap();
        const auto& pixels = doc.GetMarkPixelPoints();
        const auto& world = doc.GetMarkWorldPoints();
        add("path name", doc.GetPathName());
        add("title", doc.GetTitle());
        add("modified flag", doc.IsModified());
        add("calibrated", doc.IsCalibrated());
        add("calibration mode", doc.IsCalibrationMode());
        add("waypoint mode", doc.IsWaypointMode());
        add("coordinate type", CoordTypeNumber(doc.GetCoordType()));
        add("UTM zone", doc.GetUtmZone());
        add("UTM letter", int{doc.GetUtmLetter()});
        add("marks", pixels[0], pixels[1], pixels[2], world[0], world[1], world[2]);
        add("bitmap path", doc.GetBitmapPath());
        add("map size", w, h);
        add("picture", picture, picture != nullptr ? picture->cacheKey() : 0);
        add("transform", doc.PictureToWorld(0, 0), doc.PictureToWorld(w, 0),
            doc.PictureToWorld(0, h), doc.PictureToWorld(w, h));
        return s;
    }

    // The names of the fields that differ; empty when the two are the same.
    std::vector<std::string> Differences(const DocumentSnapshot& o) const {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (fields[i] != o.fields[i]) {
                out.push_back(fields[i].first);
            }
        }
        return out;
    }
};

} // namespace mapreg
