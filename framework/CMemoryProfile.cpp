#include "framework/CMemoryProfile.h"

#include <charconv>
#include <limits>

namespace mapreg {

namespace {

std::pair<std::string, std::string> MakeKey(std::string_view section, std::string_view key) {
    return {std::string(section), std::string(key)};
}

} // namespace

int CMemoryProfile::GetProfileInt(std::string_view section, std::string_view key, int def) const {
    // A value outside int's range is as unusable as a text that is no number.
    const long long value = GetProfileInt64(section, key, def);
    return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max()
               ? static_cast<int>(value)
               : def;
}

long long CMemoryProfile::GetProfileInt64(std::string_view section, std::string_view key,
                                          long long def) const {
    const auto it = m_values.find(MakeKey(section, key));
    if (it == m_values.end()) {
        return def;
    }
    if (const int* value = std::get_if<int>(&it->second)) {
        return *value;
    }
    // A text that holds a whole decimal number reads as that number, as in an INI file.
    const auto& text = std::get<std::string>(it->second);
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) {
        return def;
    }
    return value;
}

bool CMemoryProfile::WriteProfileInt(std::string_view section, std::string_view key, int value) {
    m_values[MakeKey(section, key)] = value;
    return true;
}

std::string CMemoryProfile::GetProfileString(std::string_view section, std::string_view key,
                                             std::string_view def) const {
    const auto it = m_values.find(MakeKey(section, key));
    if (it == m_values.end()) {
        return std::string(def);
    }
    if (const int* value = std::get_if<int>(&it->second)) {
        return std::to_string(*value);
    }
    return std::get<std::string>(it->second);
}

bool CMemoryProfile::WriteProfileString(std::string_view section, std::string_view key,
                                        std::string_view value) {
    m_values[MakeKey(section, key)] = std::string(value);
    return true;
}

bool CMemoryProfile::Contains(std::string_view section, std::string_view key) const {
    return m_values.count(MakeKey(section, key)) != 0;
}

void CMemoryProfile::Remove(std::string_view section, std::string_view key) {
    m_values.erase(MakeKey(section, key));
}

} // namespace mapreg
