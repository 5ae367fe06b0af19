#include "framework/qt/CQtSettingsProfile.h"

#include <QString>

namespace mapreg {

namespace {

QString KeyOf(std::string_view section, std::string_view key) {
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + '/' +
           QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

} // namespace

CQtSettingsProfile::CQtSettingsProfile()
    : m_settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Halvoren"),
                 QStringLiteral("MapRegistration")) {}

CQtSettingsProfile::CQtSettingsProfile(const QString& iniPath)
    : m_settings(iniPath, QSettings::IniFormat) {}

int CQtSettingsProfile::GetProfileInt(std::string_view section, std::string_view key,
                                      int def) const {
    const QVariant value = m_settings.value(KeyOf(section, key));
    if (!value.isValid()) {
        return def;
    }
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    return ok ? number : def;
}

long long CQtSettingsProfile::GetProfileInt64(std::string_view section, std::string_view key,
                                              long long def) const {
    const QVariant value = m_settings.value(KeyOf(section, key));
    if (!value.isValid()) {
        return def;
    }
    bool ok = false;
    const long long number = value.toString().trimmed().toLongLong(&ok);
    return ok ? number : def;
}

bool CQtSettingsProfile::WriteProfileInt(std::string_view section, std::string_view key,
                                         int value) {
    m_settings.setValue(KeyOf(section, key), value);
    return SyncUnlessGrouped();
}

std::string CQtSettingsProfile::GetProfileString(std::string_view section, std::string_view key,
                                                 std::string_view def) const {
    const QVariant value = m_settings.value(KeyOf(section, key));
    if (!value.isValid()) {
        return std::string(def);
    }
    return value.toString().toStdString();
}

bool CQtSettingsProfile::WriteProfileString(std::string_view section, std::string_view key,
                                            std::string_view value) {
    m_settings.setValue(KeyOf(section, key),
                        QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
    return SyncUnlessGrouped();
}

void CQtSettingsProfile::BeginWrites() {
    ++m_nGroupedWrites;
}

bool CQtSettingsProfile::EndWrites() {
    if (m_nGroupedWrites > 0) {
        --m_nGroupedWrites;
    }
    return SyncUnlessGrouped();
}

bool CQtSettingsProfile::SyncUnlessGrouped() {
    // Every sync writes the whole file anew (a new file, flushed to the disk, renamed over the
    // old one): once per group, not once per value.
    if (m_nGroupedWrites == 0) {
        m_settings.sync();
    }
    return m_settings.status() == QSettings::NoError;
}

} // namespace mapreg
