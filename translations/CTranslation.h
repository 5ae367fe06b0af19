#pragma once
// The program's translation for the user's language: loads the compiled translation built into
// the program for the first of the desktop's languages (LANGUAGE, then LC_ALL, LC_MESSAGES, LANG)
// that has one, and puts its texts into the string table. English is the source language, so a
// user who prefers English before any translated language keeps the English texts.

#include <QLocale>
#include <QString>
#include <QTranslator>

namespace mapreg {

class CTranslation {
public:
    // Loads mapreg_<language>.qm for the locale's languages; false when English comes first or
    // no translation fits, and the English texts stay.
    bool Load(const QLocale& locale);

    // The language of the loaded translation ("de"); empty when none is loaded.
    QString Language() const { return m_strLanguage; }

    // The translation of an English text of the string table; empty when it has none.
    QString Translate(const char* english) const;

    // Replaces the marked texts of the string table by this translation (by the English texts
    // when nothing is loaded). Call before other threads run.
    void ApplyToStringTable() const;

    // The folder of Qt's own translations (the texts of the standard dialogs), when installed.
    static QString QtTranslationsFolder();

private:
    QTranslator m_translator;
    QString m_strLanguage;
};

} // namespace mapreg
