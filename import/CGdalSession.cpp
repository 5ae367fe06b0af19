#include "CGdalSession.h"

#include <cpl_error.h>
#include <gdal.h>

#include <mutex>

CGdalSession::CGdalSession() {
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });
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
