#pragma once
// The desktop application's profile store: a QSettings INI file, one INI section per
// profile section ("Settings" holds the display settings and the window placement).

#include "framework/CProfile.h"

#include <QSettings>

class QString;

namespace mapreg {

class CQtSettingsProfile : public CProfile {
public:
    // The user's own settings file of this application.
    CQtSettingsProfile();
    // A given INI file (tests, portable installs).
    explicit CQtSettingsProfile(const QString& iniPath);

    int GetProfileInt(std::string_view section, std::string_view key, int def) const override;
    long long GetProfileInt64(std::string_view section, std::string_view key,
                              long long def) const override;
    bool WriteProfileInt(std::string_view section, std::string_view key, int value) override;
    std::string GetProfileString(std::string_view section, std::string_view key,
                                 std::string_view def) const override;
    bool WriteProfileString(std::string_view section, std::string_view key,
                            std::string_view value) override;
    // Outside BeginWrites/EndWrites each write syncs the file; inside, the last EndWrites does.
    void BeginWrites() override;
    bool EndWrites() override;

    QString FileName() const { return m_settings.fileName(); }

private:
    // Writes the file now unless writes are being grouped; whether the file is written.
    bool SyncUnlessGrouped();

    mutable QSettings m_settings;
    int m_nGroupedWrites = 0;
};

} // namespace mapreg
