// The UTM zone text reader on arbitrary text, and the calibration's zone check on whatever zone
// and letter it reads (any int, any byte): both must run clean under the sanitizers.
#include "coords/UtmZoneText.h"
#include "georef/CalibrationCheck.h"

#include <cstdint>
#include <string_view>

using namespace mapreg;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    int zone = -1;
    char letter = 0;
    ParseUtmZoneText(std::string_view(reinterpret_cast<const char*>(data), size), zone, letter);
    static_cast<void>(CheckCalibration(
        {CoordType::Utm,
         {CDoublePoint{400000.0, 5300000.0}, CDoublePoint{402000.0, 5300000.0},
          CDoublePoint{402000.0, 5299000.0}},
         {CDoublePoint{0.0, 0.0}, CDoublePoint{100.0, 0.0}, CDoublePoint{100.0, 100.0}},
         zone,
         letter}));
    return 0;
}
