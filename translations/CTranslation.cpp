#include "translations/CTranslation.h"

#include "resources/StringTableTranslation.h"

#include <QLibraryInfo>

#include <string>

namespace mapreg {

namespace {

// The context the translators' tool gives the string table's texts.
constexpr char kContext[] = "StringTable";

} // namespace

bool CTranslation::Load(const QLocale& locale) {
    m_strLanguage.clear();
    for (QString language : locale.uiLanguages()) {
        language.replace(QLatin1Char('-'), QLatin1Char('_'));
        if (language == QLatin1String("C") || language.startsWith(QLatin1String("en"))) {
            return false;
        }
        // "de_AT" finds mapreg_de_AT.qm or else mapreg_de.qm.
        if (m_translator.load(QStringLiteral("mapreg_") + language, QStringLiteral(":/i18n"))) {
            m_strLanguage = m_translator.language();
            return true;
        }
    }
    return false;
}

QString CTranslation::Translate(const char* english) const {
    return m_strLanguage.isEmpty() ? QString() : m_translator.translate(kContext, english);
}

void CTranslation::ApplyToStringTable() const {
    TranslateStringTable([this](std::string_view english) {
        return Translate(std::string(english).c_str()).toStdString();
    });
}

QString CTranslation::QtTranslationsFolder() {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

} // namespace mapreg
