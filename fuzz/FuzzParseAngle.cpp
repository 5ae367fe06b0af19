// ParseAngle on arbitrary text, which must run clean under the sanitizers; the NUL-terminated
// form must read up to the first NUL, as the text form of that prefix does.
#include "FuzzSupport.h"
#include "coords/AngleParser.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

using namespace mapreg;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    static_cast<void>(ParseAngle(text));
    const std::string terminated(text);
    const double fromCString = ParseAngle(terminated.c_str());
    const double prefix = ParseAngle(text.substr(0, text.find('\0')));
    if (fromCString != prefix && !(std::isnan(fromCString) && std::isnan(prefix))) {
        fuzz::Fail("the NUL-terminated form does not stop at the first NUL");
    }
    return 0;
}
