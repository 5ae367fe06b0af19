#pragma once
// The per-user profile store: integer and text values by section and key. The desktop
// application keeps them in an INI file (CQtSettingsProfile); tests use CMemoryProfile.

#include <string>
#include <string_view>

namespace mapreg {

class CProfile {
public:
    virtual ~CProfile() = default;

    // The stored integer, or def when the key is missing or does not hold an integer.
    virtual int GetProfileInt(std::string_view section, std::string_view key, int def) const = 0;
    // The same for values that need 64 bits (hand-edited colours, for instance).
    virtual long long GetProfileInt64(std::string_view section, std::string_view key,
                                      long long def) const = 0;
    // Returns false when the store could not be written.
    virtual bool WriteProfileInt(std::string_view section, std::string_view key, int value) = 0;
    virtual std::string GetProfileString(std::string_view section, std::string_view key,
                                         std::string_view def) const = 0;
    virtual bool WriteProfileString(std::string_view section, std::string_view key,
                                    std::string_view value) = 0;

    // The writes between these two may reach the store together, at the last EndWrites (pairs
    // nest); EndWrites answers whether they did. A store that holds each value at once (or one
    // without a file) needs neither. Use CProfileWrites.
    virtual void BeginWrites() {}
    virtual bool EndWrites() { return true; }
};

} // namespace mapreg
