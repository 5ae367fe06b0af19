// The display settings read from a profile file edited by hand: each key missing, out of range
// or of the wrong type, and whole files of garbage. What cannot be used keeps its default and
// nothing else is lost; nothing crashes.
#include "document/CDisplaySettings.h"
#include "framework/CMemoryProfile.h"
#include "framework/qt/CQtSettingsProfile.h"

#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <vector>

using namespace mapreg;

namespace {

// Every setting the profile holds, as the settings write it back.
using Values = std::map<std::string, long long>;

const char* const kColorKeys[] = {"backgroundColor",     "foregroundColor",
                                  "primaryColor",        "secondaryColor",
                                  "locationSpriteColor", "noFixLocationSpriteColor"};
const char* const kFormatKeys[] = {"unitType", "coordType", "latLonFormat"};

Values Of(const CDisplaySettings& s) {
    CMemoryProfile profile;
    s.WriteColors(profile);
    s.WriteSpriteSize(profile);
    s.WriteFormats(profile);
    Values v;
    for (const char* key : kColorKeys) {
        v[key] = profile.GetProfileInt64("Settings", key, -1);
    }
    for (const char* key : {"spriteSize", "unitType", "coordType", "latLonFormat"}) {
        v[key] = profile.GetProfileInt64("Settings", key, -1);
    }
    return v;
}

Values Defaults() {
    return Of(CDisplaySettings());
}

// A valid value, other than the default, for every key.
Values Good() {
    Values v = {{"spriteSize", 2}, {"unitType", 1}, {"coordType", 1}, {"latLonFormat", 0}};
    for (int i = 0; i < 6; ++i) {
        v[kColorKeys[i]] = 0x102030 * (i + 1);
    }
    return v;
}

class ProfileFaults : public ::testing::Test {
protected:
    std::string IniPath() const { return m_dir.path().toStdString() + "/mapreg.ini"; }
    void WriteIni(const std::string& bytes) const {
        std::ofstream(IniPath(), std::ios::binary | std::ios::trunc) << bytes;
    }
    // The settings as the application reads them at start-up.
    Values Read() const {
        const CQtSettingsProfile profile(QString::fromStdString(IniPath()));
        CDisplaySettings s;
        s.ReadColors(profile);
        s.ReadSpriteSize(profile);
        s.ReadFormats(profile);
        return Of(s);
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(ProfileFaults, each_unusable_key_keeps_its_default_and_loses_nothing_else) {
    const std::vector<std::string> outOfRange = {"-1",         "3",           "7",
                                                 "2147483647", "-2147483648", "-128"};
    const std::vector<std::string> wrongType = {
        "abc",         "",           " ",           "1.0",
        "0x1",         "1e0",        "1 2",         "1,2",
        "true",        "@Invalid()", "99999999999", "@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x5QPoint)",
        "\xEF\xBC\x91" /* fullwidth 1 */};
    // What the reading rules keep when the key is unusable: colours go together; a format key
    // that is missing, or cannot be read as a number, keeps all three formats at their defaults;
    // an out-of-range one stops the formats that follow it.
    const auto expectedWithout = [&wrongType](const std::string& key, const std::string& value) {
        Values v = Good();
        const Values d = Defaults();
        const bool unreadable =
            value == "<missing>" || value == "-128" ||
            std::find(wrongType.begin(), wrongType.end(), value) != wrongType.end();
        if (key.find("Color") != std::string::npos) {
            for (const char* color : kColorKeys) {
                v[color] = d.at(color);
            }
        } else if (key == "spriteSize") {
            v[key] = d.at(key);
        } else {
            // This format and those after it; all three when it cannot be read at all.
            bool reset = unreadable;
            for (const char* format : kFormatKeys) {
                reset = reset || key == format;
                v[format] = reset ? d.at(format) : v[format];
            }
        }
        return v;
    };
    const auto writeWith = [this](const std::string& key, const std::string& value) {
        std::string ini = "[Settings]\n";
        for (const auto& [k, v] : Good()) {
            if (k != key) {
                ini += k + "=" + std::to_string(v) + "\n";
            } else if (value != "<missing>") {
                ini += k + "=" + value + "\n";
            }
        }
        WriteIni(ini);
    };
    WriteIni("[Settings]\n");
    ASSERT_EQ(Read(), Defaults());
    for (const auto& [key, good] : Good()) {
        const bool isColor = key.find("Color") != std::string::npos;
        std::vector<std::string> bad = wrongType;
        if (!isColor) {
            bad.insert(bad.end(), outOfRange.begin(), outOfRange.end());
        } else {
            // Every other number is a colour, however wide: its low 24 bits count.
            std::erase(bad, "99999999999");
            bad.emplace_back("-128");
            for (const long long wide : {4278255360LL, 99999999999LL, -999999999999999LL}) {
                SCOPED_TRACE(key + " = " + std::to_string(wide));
                writeWith(key, std::to_string(wide));
                Values v = Good();
                v[key] = wide & 0xFFFFFF;
                EXPECT_EQ(Read(), v);
            }
        }
        bad.emplace_back("<missing>");
        for (const std::string& value : bad) {
            SCOPED_TRACE(key + " = " + value);
            writeWith(key, value);
            EXPECT_EQ(Read(), expectedWithout(key, value));
        }
    }
}

// Good lines where the settings are not looked for, and files the profile reader cannot take
// apart as lines of keys.
TEST_F(ProfileFaults, garbage_files_give_the_defaults) {
    const std::string utf16 = std::string("\xFF\xFE[\0S\0e\0t\0t\0i\0n\0g\0s\0]\0\n\0", 24) +
                              std::string("s\0p\0r\0i\0t\0e\0S\0i\0z\0e\0=\0002\0", 24);
    const std::pair<const char*, std::string> cases[] = {
        {"nul_bytes", std::string(4096, '\0')},
        {"keys_without_values", "[Settings]\nspriteSize\nunitType\n=2\n==\n"},
        {"keys_in_another_section", "[Other]\nspriteSize=2\nunitType=1\ncoordType=1\n"},
        {"keys_outside_any_section", "spriteSize=2\nunitType=1\n"},
        {"one_long_line", "[Settings]\nspriteSize=" + std::string(1 << 20, '9') + "\n"},
        {"utf16", utf16},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        WriteIni(bytes);
        EXPECT_EQ(Read(), Defaults());
    }
}

TEST_F(ProfileFaults, profile_that_is_a_folder_or_cannot_be_written_gives_defaults) {
    std::filesystem::create_directory(IniPath());
    EXPECT_EQ(Read(), Defaults());

    // A profile below a plain file can be neither read nor written; writing reports it.
    const std::string blocked = m_dir.path().toStdString() + "/file";
    std::ofstream(blocked) << "x";
    CDisplaySettings s;
    EXPECT_FALSE(
        s.ReadFormats(CQtSettingsProfile(QString::fromStdString(blocked + "/mapreg.ini"))));
    EXPECT_EQ(Of(s), Defaults());
    CQtSettingsProfile profile(QString::fromStdString(blocked + "/mapreg.ini"));
    EXPECT_FALSE(s.WriteFormats(profile));
}
