#pragma once
// Everything a user could lose in a map document, captured so that two moments can be compared
// field by field: flags, marks, zone, bitmap path and size, the picture object itself, the
// transform at the picture's corners, the active position type, file path, title and modified
// flag. Used by the map-file fuzz target and by the tests of failed opens.

#include "CGpsDoc.h"
#include "CMapBitmap.h"

#include <QImage>

#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

struct DocumentSnapshot {
    std::string pathName;
    std::string title;
    bool modified = false;
    bool calibrated = false;
    bool calibrationMode = false;
    bool waypointMode = false;
    int coordType = 0;
    int zone = 0;
    char letter = 0;
    std::array<std::uint64_t, 12> marks{}; // bit patterns, so that NaN compares equal to itself
    std::string bitmapPath;
    int width = 0;
    int height = 0;
    const QImage* picture = nullptr;
    qint64 pictureKey = 0;
    std::array<std::uint64_t, 8> corners{};
    bool activeIsUtm = false;

    static DocumentSnapshot Of(const CGpsDoc& doc) {
        DocumentSnapshot s;
        s.pathName = doc.GetPathName();
        s.title = doc.GetTitle();
        s.modified = doc.IsModified();
        s.calibrated = doc.IsCalibrated();
        s.calibrationMode = doc.IsCalibrationMode();
        s.waypointMode = doc.IsWaypointMode();
        s.coordType = doc.GetCoordType();
        s.zone = doc.GetUtmZone();
        s.letter = doc.GetUtmLetter();
        for (std::size_t i = 0; i < 3; ++i) {
            s.marks[4 * i] = std::bit_cast<std::uint64_t>(doc.GetMarkPixelPoints()[i].x);
            s.marks[4 * i + 1] = std::bit_cast<std::uint64_t>(doc.GetMarkPixelPoints()[i].y);
            s.marks[4 * i + 2] = std::bit_cast<std::uint64_t>(doc.GetMarkWorldPoints()[i].x);
            s.marks[4 * i + 3] = std::bit_cast<std::uint64_t>(doc.GetMarkWorldPoints()[i].y);
        }
        s.bitmapPath = doc.GetBitmapPath();
        s.width = doc.GetMapWidth();
        s.height = doc.GetMapHeight();
        s.picture = doc.GetBitmapObject().GetBitmap();
        s.pictureKey = s.picture != nullptr ? s.picture->cacheKey() : 0;
        const CDoublePoint corners[4] = {doc.PictureToWorld(0, 0), doc.PictureToWorld(s.width, 0),
                                         doc.PictureToWorld(0, s.height),
                                         doc.PictureToWorld(s.width, s.height)};
        for (std::size_t i = 0; i < 4; ++i) {
            s.corners[2 * i] = std::bit_cast<std::uint64_t>(corners[i].x);
            s.corners[2 * i + 1] = std::bit_cast<std::uint64_t>(corners[i].y);
        }
        s.activeIsUtm = doc.GetActivePosition().IsUtm();
        return s;
    }

    // The names of the fields that differ; empty when the two are the same.
    std::vector<std::string> Differences(const DocumentSnapshot& o) const {
        std::vector<std::string> out;
        const auto check = [&out](bool same, const char* name) {
            if (!same) {
                out.emplace_back(name);
            }
        };
        check(pathName == o.pathName, "path name");
        check(title == o.title, "title");
        check(modified == o.modified, "modified flag");
        check(calibrated == o.calibrated, "calibrated");
        check(calibrationMode == o.calibrationMode, "calibration mode");
        check(waypointMode == o.waypointMode, "waypoint mode");
        check(coordType == o.coordType, "coordinate type");
        check(zone == o.zone, "UTM zone");
        check(letter == o.letter, "UTM letter");
        check(marks == o.marks, "marks");
        check(bitmapPath == o.bitmapPath, "bitmap path");
        check(width == o.width && height == o.height, "map size");
        check(picture == o.picture && pictureKey == o.pictureKey, "picture");
        check(corners == o.corners, "transform");
        check(activeIsUtm == o.activeIsUtm, "active position");
        return out;
    }
};
