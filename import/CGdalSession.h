#pragma once
// GDAL as this program uses it: the drivers registered once, and while a session object lives,
// GDAL's messages kept from the terminal and the last one available for the user's message.

#include <string>

namespace mapreg {

class CGdalSession {
public:
    CGdalSession();
    ~CGdalSession();
    CGdalSession(const CGdalSession&) = delete;
    CGdalSession& operator=(const CGdalSession&) = delete;

    // GDAL's last error message in this session, or empty.
    static std::string LastError();
};

} // namespace mapreg
