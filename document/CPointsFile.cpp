#include "document/CPointsFile.h"

#include "document/TextFileFormat.h"
#include "georef/ProjLibrary.h"
#include "resources/StringTable.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>

namespace mapreg {

namespace {

constexpr std::string_view kCrsPrefix = "#CRS:";
constexpr std::string_view kHeader = "mapX,mapY,sourceX,sourceY,enable,dX,dY,residual";

// PROJ's functions; only called once a context exists, which needs the library loaded.
const SProjLibrary& Proj() {
    return *ProjLibrary();
}

struct SContextDeleter {
    void operator()(PJ_CONTEXT* ctx) const { Proj().contextDestroy(ctx); }
};
struct SObjectDeleter {
    void operator()(PJ* pj) const { Proj().destroy(pj); }
};
using ContextPtr = std::unique_ptr<PJ_CONTEXT, SContextDeleter>;
using ObjectPtr = std::unique_ptr<PJ, SObjectDeleter>;

// A PROJ context that stays offline and silent: failures come back as results.
// Null also when PROJ cannot be loaded.
ContextPtr MakeContext() {
    if (ProjLibrary() == nullptr) {
        return nullptr;
    }
    ContextPtr ctx(Proj().contextCreate());
    if (ctx) {
        Proj().logLevel(ctx.get(), PJ_LOG_NONE);
        Proj().contextSetEnableNetwork(ctx.get(), 0);
    }
    return ctx;
}

std::string EpsgCode(const WorldKind& kind) {
    if (kind.coordType == CoordType::LatLon) {
        return "EPSG:4326";
    }
    return "EPSG:" + std::to_string((kind.north ? 32600 : 32700) + kind.zone);
}

ObjectPtr CreateCrs(PJ_CONTEXT* ctx, const WorldKind& kind) {
    return ObjectPtr(Proj().create(ctx, EpsgCode(kind).c_str()));
}

// Whether the text of a "#CRS:" line is a definition PROJ parses by itself: WKT (as PROJ itself
// tells it apart, so that a name with brackets is not taken for WKT), PROJJSON, a PROJ string,
// or an authority code such as "EPSG:32633" or an OGC URN.
bool IsCrsDefinition(PJ_CONTEXT* ctx, const std::string& text) {
    if (Proj().guessWktDialect(ctx, text.c_str()) != PJ_GUESSED_NOT_WKT || text.starts_with('{') ||
        text.starts_with('+') || text.starts_with("proj=") || text.starts_with("urn:")) {
        return true;
    }
    const std::size_t colon = text.find(':');
    if (colon == 0 || colon == std::string_view::npos || colon + 1 == text.size()) {
        return false;
    }
    const auto isCode = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == ':' || c == '+';
    };
    return std::all_of(text.begin(), text.end(), isCode);
}

// The coordinate system of a "#CRS:" line. A definition is parsed; anything else is taken as the
// exact name of a coordinate system in PROJ's database ("WGS 84 / UTM zone 33N"). proj_create
// would search a name it does not know exactly through the whole database by likeness, about a
// second for each file (half a minute on a busy machine) for what is only ever a wrong line.
ObjectPtr CreateFileCrs(PJ_CONTEXT* ctx, const std::string& text) {
    if (IsCrsDefinition(ctx, text)) {
        return ObjectPtr(Proj().create(ctx, text.c_str()));
    }
    constexpr std::array<PJ_TYPE, 4> kTypes = {PJ_TYPE_GEOGRAPHIC_2D_CRS, PJ_TYPE_GEOGRAPHIC_3D_CRS,
                                               PJ_TYPE_PROJECTED_CRS, PJ_TYPE_COMPOUND_CRS};
    PJ_OBJ_LIST* list = Proj().createFromName(ctx, nullptr, text.c_str(), kTypes.data(),
                                              kTypes.size(), 0, 1, nullptr);
    if (list == nullptr) {
        return nullptr;
    }
    ObjectPtr crs(Proj().listGetCount(list) > 0 ? Proj().listGet(ctx, list, 0) : nullptr);
    Proj().listDestroy(list);
    return crs;
}

bool Equivalent(PJ_CONTEXT* ctx, const PJ* a, const PJ* b) {
    return Proj().isEquivalentTo(ctx, a, b, PJ_COMP_EQUIVALENT_EXCEPT_AXIS_ORDER_GEOGCRS) != 0;
}

// The kind a coordinate system is, when it is WGS 84 longitude/latitude or one of its UTM zones.
std::optional<WorldKind> IdentifyKind(PJ_CONTEXT* ctx, const PJ* crs) {
    const ObjectPtr wgs84 = CreateCrs(ctx, WorldKind{});
    if (wgs84 && Equivalent(ctx, crs, wgs84.get())) {
        return WorldKind{};
    }
    if (Proj().getType(crs) != PJ_TYPE_PROJECTED_CRS) {
        return std::nullopt;
    }
    int* confidence = nullptr;
    PJ_OBJ_LIST* list = Proj().identify(ctx, crs, "EPSG", nullptr, &confidence);
    std::optional<WorldKind> kind;
    const int count = list != nullptr ? Proj().listGetCount(list) : 0;
    for (int i = 0; i < count && !kind; ++i) {
        const ObjectPtr candidate(Proj().listGet(ctx, list, i));
        const char* code = candidate ? Proj().getIdCode(candidate.get(), 0) : nullptr;
        const int epsg = code != nullptr ? std::atoi(code) : 0;
        const bool north = epsg > 32600 && epsg <= 32660;
        if ((north || (epsg > 32700 && epsg <= 32760)) && Equivalent(ctx, crs, candidate.get())) {
            kind = WorldKind{CoordType::Utm, epsg % 100, north};
        }
    }
    Proj().intListDestroy(confidence);
    Proj().listDestroy(list);
    return kind;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

bool ReadNumber(std::string_view field, double& value) {
    field = Trim(field);
    if (!field.empty() && field.front() == '+') {
        field.remove_prefix(1);
    }
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    return ec == std::errc() && end == field.data() + field.size() && std::isfinite(value);
}

// One point line; false when it is not one.
bool ReadPoint(std::string_view line, ControlPoint& point) {
    std::array<std::string_view, 5> fields{};
    std::size_t count = 0;
    while (count < fields.size()) {
        const std::size_t comma = line.find(',');
        fields[count++] = line.substr(0, comma);
        if (comma == std::string_view::npos) {
            line = {};
            break;
        }
        line.remove_prefix(comma + 1);
    }
    if (count < fields.size()) {
        return false;
    }
    double sourceY = 0.0;
    const std::string_view enable = Trim(fields[4]);
    if (!ReadNumber(fields[0], point.world.x) || !ReadNumber(fields[1], point.world.y) ||
        !ReadNumber(fields[2], point.picture.x) || !ReadNumber(fields[3], sourceY) ||
        (enable != "0" && enable != "1")) {
        return false;
    }
    point.picture.y = sourceY == 0.0 ? 0.0 : -sourceY;
    point.enabled = enable == "1";
    return true;
}

// Converts the points from crs into target in place; the index of the first point PROJ cannot
// convert, or -1.
int Convert(PJ_CONTEXT* ctx, const PJ* crs, const WorldKind& target,
            std::vector<ControlPoint>& points, bool& created) {
    created = false;
    const ObjectPtr targetCrs = CreateCrs(ctx, target);
    if (!targetCrs) {
        return -1;
    }
    const ObjectPtr raw(Proj().createCrsToCrsFromPj(ctx, crs, targetCrs.get(), nullptr, nullptr));
    const ObjectPtr op(raw ? Proj().normalizeForVisualization(ctx, raw.get()) : nullptr);
    if (!op) {
        return -1;
    }
    created = true;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const PJ_COORD c = Proj().trans(op.get(), PJ_FWD,
                                        Proj().coord(points[i].world.x, points[i].world.y, 0, 0));
        if (!std::isfinite(c.xy.x) || !std::isfinite(c.xy.y) || c.xy.x == HUGE_VAL) {
            return static_cast<int>(i);
        }
        points[i].world = {c.xy.x, c.xy.y};
    }
    return -1;
}

std::string WithLine(std::string text, const std::string& line) {
    if (const std::size_t at = text.find("%2"); at != std::string::npos) {
        text.replace(at, 2, line);
    }
    return text;
}

std::string Number(double value) {
    std::array<char, 32> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), ec == std::errc() ? end : buffer.data());
}

} // namespace

CPointsFile::Result CPointsFile::Parse(std::string_view text,
                                       const std::optional<WorldKind>& target) {
    Result result;
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    std::string wkt;
    std::vector<int> lines; // the line of each point
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++lineNumber;
        if (lineNumber == 1 && line.starts_with(kCrsPrefix)) {
            wkt = std::string(Trim(line.substr(kCrsPrefix.size())));
            result.hasCrs = !wkt.empty();
            continue;
        }
        if (line.empty() || line.starts_with('#') || line.starts_with("mapX")) {
            continue;
        }
        ControlPoint point;
        if (!ReadPoint(line, point)) {
            return {Status::Malformed, lineNumber, {}, std::nullopt, result.hasCrs};
        }
        result.points.push_back(point);
        lines.push_back(lineNumber);
    }
    if (!result.hasCrs) {
        result.status = target ? Status::Ok : Status::NoCrs;
        return result;
    }
    const ContextPtr ctx = MakeContext();
    const ObjectPtr crs(ctx ? CreateFileCrs(ctx.get(), wkt) : nullptr);
    if (!crs) {
        return {Status::UnknownCrs, 1, {}, std::nullopt, true};
    }
    result.fileKind = IdentifyKind(ctx.get(), crs.get());
    const std::optional<WorldKind> kind = target ? target : result.fileKind;
    if (!kind) {
        return {Status::UnknownCrs, 1, {}, std::nullopt, true};
    }
    if (kind == result.fileKind) {
        return result;
    }
    bool created = false;
    const int failed = Convert(ctx.get(), crs.get(), *kind, result.points, created);
    if (!created) {
        return {Status::UnknownCrs, 1, {}, result.fileKind, true};
    }
    if (failed >= 0) {
        return {Status::NotConverted,
                lines[static_cast<std::size_t>(failed)],
                {},
                result.fileKind,
                true};
    }
    return result;
}

CPointsFile::Result CPointsFile::Read(const std::string& path,
                                      const std::optional<WorldKind>& target) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (!in || !(text << in.rdbuf()) || in.bad()) {
        Result result;
        result.status = Status::CannotRead;
        return result;
    }
    return Parse(text.view(), target);
}

std::string CPointsFile::Build(const std::vector<ControlPoint>& points, const WorldKind& kind,
                               const std::vector<PointResidual>& residuals) {
    std::string text;
    const ContextPtr ctx = MakeContext();
    const ObjectPtr crs(ctx ? CreateCrs(ctx.get(), kind) : nullptr);
    const char* const options[] = {"MULTILINE=NO", nullptr};
    if (const char* wkt =
            crs ? Proj().asWkt(ctx.get(), crs.get(), PJ_WKT2_2019, options) : nullptr) {
        text.append(kCrsPrefix).append(" ").append(wkt).append("\n");
    }
    text.append(kHeader).append("\n");
    for (std::size_t i = 0; i < points.size(); ++i) {
        const ControlPoint& p = points[i];
        const PointResidual r = i < residuals.size() ? residuals[i] : PointResidual{};
        text += Number(p.world.x) + ',' + Number(p.world.y) + ',' + Number(p.picture.x) + ',' +
                Number(p.picture.y == 0.0 ? 0.0 : -p.picture.y) + ',' + (p.enabled ? '1' : '0') +
                ',' + Number(r.dxM) + ',' + Number(r.dyM) + ',' + Number(r.lengthM) + '\n';
    }
    return text;
}

std::string CPointsFile::Message(const Result& result, const std::string& path) {
    const std::string line = std::to_string(result.line);
    switch (result.status) {
    case Status::Ok:
        return {};
    case Status::CannotRead:
        return FormatString1(IDS_POINTS_CANNOT_READ, path);
    case Status::Malformed:
        return WithLine(FormatString1(IDS_POINTS_MALFORMED, path), line);
    case Status::UnknownCrs:
        return FormatString1(IDS_POINTS_UNKNOWN_CRS, path);
    case Status::NoCrs:
        return FormatString1(IDS_POINTS_NO_CRS, path);
    case Status::NotConverted:
        return WithLine(FormatString1(IDS_POINTS_NOT_CONVERTED, path), line);
    }
    return {};
}

std::string CPointsFile::PathForMapFile(const std::string& mapFilePath) {
    return DeriveTextFileName(mapFilePath, ".points");
}

} // namespace mapreg
