#include "import/CGdalSession.h"

#include <cpl_conv.h>
#include <cpl_error.h>
#include <gdal.h>

#include <mutex>

namespace mapreg {

CGdalSession::CGdalSession() {
    static std::once_flag registered;
    std::call_once(registered, [] {
        // A VRT must not turn arbitrary files into pictures (a raw band reads any file the user
        // can read) nor run code (Python pixel functions).
        CPLSetConfigOption("GDAL_VRT_ENABLE_RAWRASTERBAND", "NO");
        CPLSetConfigOption("GDAL_VRT_ENABLE_PYTHON", "NO");
        GDALAllRegister();
    });
    CPLPushErrorHandler(CPLQuietErrorHandler);
    CPLErrorReset();
}

CGdalSession::~CGdalSession() {
    CPLPopErrorHandler();
}

std::string CGdalSession::LastError() {
    const char* text = CPLGetLastErrorMsg();
    return text != nullptr ? std::string(text) : std::string();
}

} // namespace mapreg
