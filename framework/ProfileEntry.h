#pragma once
// One profile value, declared once with its section, key, default and validity check, so that
// reads and writes of it cannot disagree. T is int, bool, long long or std::string.

#include "framework/CProfile.h"

#include <limits>
#include <string>
#include <string_view>
#include <type_traits>

namespace mapreg {

template <class T> struct ProfileEntry {
    // Texts default to a view, so that entries can be constants.
    using Default = std::conditional_t<std::is_same_v<T, std::string>, std::string_view, T>;

    std::string_view section;
    std::string_view key;
    Default def;
    // Which stored values are usable; none given means every value that reads as a T.
    bool (*valid)(T) = nullptr;

    // The stored value, or def when it is missing or does not read as a T. Not checked.
    T Stored(const CProfile& profile) const {
        if constexpr (std::is_same_v<T, int>) {
            return profile.GetProfileInt(section, key, def);
        } else if constexpr (std::is_same_v<T, bool>) {
            return profile.GetProfileInt(section, key, def ? 1 : 0) != 0;
        } else if constexpr (std::is_same_v<T, long long>) {
            return profile.GetProfileInt64(section, key, def);
        } else {
            return profile.GetProfileString(section, key, def);
        }
    }
    bool IsValid(const T& value) const { return valid == nullptr || valid(value); }
    // The stored value when it is usable, else def.
    T Get(const CProfile& profile) const {
        T value = Stored(profile);
        return IsValid(value) ? value : T(def);
    }
    // Returns false when the store could not be written. Numbers are written as integers
    // whenever they fit one, bools as 1 or 0.
    bool Set(CProfile& profile, const T& value) const {
        if constexpr (std::is_same_v<T, int> || std::is_same_v<T, bool>) {
            return profile.WriteProfileInt(section, key, static_cast<int>(value));
        } else if constexpr (std::is_same_v<T, long long>) {
            if (value >= std::numeric_limits<int>::min() &&
                value <= std::numeric_limits<int>::max()) {
                return profile.WriteProfileInt(section, key, static_cast<int>(value));
            }
            return profile.WriteProfileString(section, key, std::to_string(value));
        } else {
            return profile.WriteProfileString(section, key, value);
        }
    }
};

} // namespace mapreg
