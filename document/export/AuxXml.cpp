#include "document/export/AuxXml.h"

#include "coords/UtmProjection.h"
#include "document/export/ExportText.h"

#include <QString>
#include <QXmlStreamReader>

namespace mapreg {

namespace {

// Where the SRS element of a GDAL dataset description (.aux.xml) lies, in characters of the
// text: its span [begin, end) among the root's children, and where the root's end tag begins.
// Nothing when the text is not a well-formed PAMDataset up to its end tag.
struct SPamScan {
    qint64 rootEnd = -1;
    qint64 srsBegin = -1;
    qint64 srsEnd = -1;
};

std::optional<SPamScan> ScanPam(const QString& text) {
    QXmlStreamReader reader(text);
    SPamScan scan;
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (reader.hasError()) {
            return std::nullopt;
        }
        // A tag holds no other '<': it begins at the last one before where the reader stands.
        const qint64 tagBegin = text.lastIndexOf(QLatin1Char('<'), reader.characterOffset() - 1);
        if (token == QXmlStreamReader::StartElement) {
            if (depth == 0 && reader.name() != QLatin1String("PAMDataset")) {
                return std::nullopt;
            }
            if (depth == 1 && scan.srsBegin < 0 && reader.name() == QLatin1String("SRS")) {
                scan.srsBegin = tagBegin;
            }
            ++depth;
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
            if (depth == 1 && scan.srsBegin >= 0 && scan.srsEnd < 0 &&
                reader.name() == QLatin1String("SRS")) {
                scan.srsEnd = reader.characterOffset();
            } else if (depth == 0) {
                scan.rootEnd = tagBegin;
                return scan;
            }
        }
    }
    return std::nullopt; // the root element never ends
}
} // namespace

std::string AuxXmlFileName(const std::string& bitmapPath) {
    return bitmapPath + ".aux.xml";
}

std::optional<std::string> CoordinateSystemWkt(CoordType coordType, int zone, char letter) {
    static constexpr std::string_view kGeographic =
        R"(GEOGCS["WGS 84",DATUM["WGS_1984",SPHEROID["WGS 84",6378137,298.257223563,)"
        R"(AUTHORITY["EPSG","7030"]],AUTHORITY["EPSG","6326"]],PRIMEM["Greenwich",0,)"
        R"(AUTHORITY["EPSG","8901"]],UNIT["degree",0.0174532925199433,)"
        R"(AUTHORITY["EPSG","9122"]])";
    if (coordType == CoordType::LatLon) {
        return std::string(kGeographic) +
               R"(,AXIS["Latitude",NORTH],AXIS["Longitude",EAST],AUTHORITY["EPSG","4326"]])";
    }
    if (zone < 1 || zone > 60) {
        return std::nullopt;
    }
    const bool south = UtmIsSouthernLetter(letter);
    const std::string zoneText = std::to_string(zone) + (south ? "S" : "N");
    const int epsg = (south ? 32700 : 32600) + zone;
    return R"(PROJCS["WGS 84 / UTM zone )" + zoneText + R"(",)" + std::string(kGeographic) +
           R"(,AUTHORITY["EPSG","4326"]],PROJECTION["Transverse_Mercator"],)"
           R"(PARAMETER["latitude_of_origin",0],PARAMETER["central_meridian",)" +
           std::to_string(static_cast<long long>(UtmCentralMeridian(zone))) +
           R"(],PARAMETER["scale_factor",0.9996],PARAMETER["false_easting",500000],)"
           R"(PARAMETER["false_northing",)" +
           (south ? "10000000" : "0") +
           R"(],UNIT["metre",1,AUTHORITY["EPSG","9001"]],AXIS["Easting",EAST],)"
           R"(AXIS["Northing",NORTH],AUTHORITY["EPSG",")" +
           std::to_string(epsg) + R"("]])";
}

std::string_view AxisMapping(CoordType coordType) {
    return coordType == CoordType::LatLon ? "2,1" : "1,2";
}

std::string BuildAuxXml(const std::string& wkt, CoordType coordType, std::string_view existing) {
    const std::string element = "<SRS dataAxisToSRSAxisMapping=\"" +
                                std::string(AxisMapping(coordType)) + "\">" + XmlText(wkt) +
                                "</SRS>";
    // Read byte for byte as Latin-1, so that every byte comes back as it was, whatever the
    // file's encoding; the names looked for are ASCII.
    const QString text =
        QString::fromLatin1(existing.data(), static_cast<qsizetype>(existing.size()));
    if (const auto scan = ScanPam(text)) {
        QString merged = text;
        const QString srs =
            QString::fromLatin1(element.data(), static_cast<qsizetype>(element.size()));
        if (scan->srsBegin >= 0 && scan->srsEnd >= 0) {
            merged.replace(scan->srsBegin, scan->srsEnd - scan->srsBegin, srs);
        } else {
            merged.insert(scan->rootEnd, QStringLiteral("  ") + srs + QLatin1Char('\n'));
        }
        return merged.toLatin1().toStdString();
    }
    return "<PAMDataset>\n  " + element + "\n</PAMDataset>\n";
}

} // namespace mapreg
