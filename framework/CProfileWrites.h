#pragma once

#include "framework/CProfile.h"

namespace mapreg {

// Groups the writes of its lifetime into one write of the store (one sync of the settings file
// instead of one for every value).
class CProfileWrites {
public:
    explicit CProfileWrites(CProfile& profile) : m_profile(profile) { m_profile.BeginWrites(); }
    ~CProfileWrites() { m_profile.EndWrites(); }
    CProfileWrites(const CProfileWrites&) = delete;
    CProfileWrites& operator=(const CProfileWrites&) = delete;

private:
    CProfile& m_profile;
};

} // namespace mapreg
