// Arbitrary text read as a control points file: in the file's own kind, as longitude/latitude
// and as UTM zone 32 north (converting through PROJ when the file names another system).
// Promises checked on every input:
// - reading ends in a status, never in a crash or an exception;
// - points read hold finite numbers only;
// - points read, written back in their kind and read again come back the same.
#include "FuzzSupport.h"
#include "document/CPointsFile.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

using namespace mapreg;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<WorldKind> targets[] = {std::nullopt, WorldKind{},
                                                WorldKind{CoordType::Utm, 32, true}};
    for (const auto& target : targets) {
        const CPointsFile::Result read = CPointsFile::Parse(text, target);
        if (read.status != CPointsFile::Status::Ok) {
            continue;
        }
        for (const ControlPoint& p : read.points) {
            if (!std::isfinite(p.picture.x) || !std::isfinite(p.picture.y) ||
                !std::isfinite(p.world.x) || !std::isfinite(p.world.y)) {
                fuzz::Fail("a point read holds a number that is not finite");
            }
        }
        const WorldKind kind = target ? *target : read.fileKind.value_or(WorldKind{});
        const CPointsFile::Result again =
            CPointsFile::Parse(CPointsFile::Build(read.points, kind, {}), kind);
        if (again.status != CPointsFile::Status::Ok || again.points != read.points) {
            fuzz::Fail("points written back do not read back the same");
        }
    }
    return 0;
}
