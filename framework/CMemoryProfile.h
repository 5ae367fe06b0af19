#pragma once
// A profile store held in memory, for tests and for runs that must not touch the
// user's settings. Integers and texts share one key space, as in an INI file.

#include "framework/CProfile.h"

#include <map>
#include <string>
#include <utility>
#include <variant>

namespace mapreg {

class CMemoryProfile : public CProfile {
public:
    int GetProfileInt(std::string_view section, std::string_view key, int def) const override;
    long long GetProfileInt64(std::string_view section, std::string_view key,
                              long long def) const override;
    bool WriteProfileInt(std::string_view section, std::string_view key, int value) override;
    std::string GetProfileString(std::string_view section, std::string_view key,
                                 std::string_view def) const override;
    bool WriteProfileString(std::string_view section, std::string_view key,
                            std::string_view value) override;

    bool Contains(std::string_view section, std::string_view key) const;
    void Remove(std::string_view section, std::string_view key);
    std::size_t Size() const { return m_values.size(); }

private:
    using Key = std::pair<std::string, std::string>;
    std::map<Key, std::variant<int, std::string>, std::less<>> m_values;
};

} // namespace mapreg
