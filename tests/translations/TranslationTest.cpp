// The German translation against the string table: every text marked for translation has a
// finished translation that keeps what the program and Qt read in it, and the translation is
// chosen by the user's language with English first winning.

#include "resources/StringTable.h"
#include "resources/StringTableTranslation.h"
#include "translations/CTranslation.h"

#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace mapreg;

namespace {

// What a translation must keep of its English text: the placeholders in order of their numbers,
// whether there is a mnemonic ("&&" is a plain ampersand), the shortcut label after a tab, the
// line breaks (prompt and tooltip, or lines of the help) and the separators of a file filter.
QString Shape(const QString& text) {
    QStringList placeholders;
    const QRegularExpression placeholder(QStringLiteral("%\\d"));
    for (const auto& match : placeholder.globalMatch(text)) {
        placeholders << match.captured();
    }
    placeholders.sort();
    QString plain = text;
    plain.remove(QStringLiteral("&&"));
    return QStringLiteral("placeholders %1, mnemonics %2, tabs %3, line breaks %4, bars %5")
        .arg(placeholders.join(QLatin1Char(' ')))
        .arg(plain.count(QLatin1Char('&')))
        .arg(text.count(QLatin1Char('\t')))
        .arg(text.count(QLatin1Char('\n')))
        .arg(text.count(QLatin1Char('|')));
}

// The English texts the string table offers for translation.
std::vector<std::string> MarkedTexts() {
    std::vector<std::string> texts;
    TranslateStringTable([&](std::string_view english) {
        texts.emplace_back(english);
        return std::string();
    });
    return texts;
}

} // namespace

TEST(Translation, every_marked_text_has_a_german_translation_of_the_same_shape) {
    CTranslation german;
    ASSERT_TRUE(german.Load(QLocale(QLocale::German, QLocale::Germany)));
    const std::vector<std::string> texts = MarkedTexts();
    ASSERT_GT(texts.size(), 100U);
    // One list of every fault, so that a new text shows with all the others that lack work.
    QStringList faults;
    for (const std::string& english : texts) {
        const QString source = QString::fromStdString(english);
        const QString translated = german.Translate(english.c_str());
        if (translated.isEmpty()) {
            faults << QStringLiteral("no finished translation: ") + source;
        } else if (Shape(translated) != Shape(source)) {
            faults << source + QStringLiteral(" -> ") + translated + QStringLiteral(": ") +
                          Shape(translated) + QStringLiteral(" instead of ") + Shape(source);
        }
    }
    EXPECT_TRUE(faults.isEmpty())
        << "scripts/update-translations, then translate in translations/mapreg_de.ts:\n"
        << faults.join(QLatin1Char('\n')).toStdString();
}

TEST(Translation, the_table_speaks_german_once_applied_and_keeps_what_it_never_translates) {
    CTranslation german;
    ASSERT_TRUE(german.Load(QLocale(QLocale::German)));
    german.ApplyToStringTable();
    const std::vector<std::pair<unsigned, std::string_view>> expected = {
        {IDS_MENU_FILE, "&Datei"},
        {IDS_UNTITLED, "Unbenannt"},
        // The settings file's name, the file type and the GPX creator, and coordinate texts.
        {AFX_IDS_APP_TITLE, "Halvoren Map Registration For CE.NET Devices"},
        {IDR_MAINFRAME,
         "Halvoren Map Registration\n\nGPS\nGPS Map Files (*.gpm)\n.gpm\nGps.Map\nGPS Map"},
        {IDS_OUTSIDE_UTM, "[Outside UTM boundary]"},
        {IDS_SAMPLE_SECONDS, "N 48*15'45.0\", W 123*30'07.5\""},
    };
    std::vector<std::pair<unsigned, std::string_view>> actual;
    for (const auto& [id, text] : expected) {
        actual.emplace_back(id, LoadStringId(id));
    }
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(FormatString1(IDS_SAVE_CHANGES, "a.gpm"), "Änderungen an a.gpm speichern?");

    // An empty translation puts the English texts back.
    TranslateStringTable([](std::string_view) { return std::string(); });
    EXPECT_EQ(LoadStringId(IDS_MENU_FILE), "&File");
}

TEST(Translation, the_first_language_with_a_translation_or_english_wins) {
    const std::vector<std::pair<QString, QString>> rows = {
        {QStringLiteral("de_DE"), QStringLiteral("de")},
        {QStringLiteral("de_CH"), QStringLiteral("de")},
        {QStringLiteral("en_GB"), QString()},
        {QStringLiteral("fr_FR"), QString()},
        {QStringLiteral("C"), QString()},
    };
    for (const auto& [name, language] : rows) {
        CTranslation translation;
        EXPECT_EQ(translation.Load(QLocale(name)), !language.isEmpty()) << name.toStdString();
        EXPECT_EQ(translation.Language(), language) << name.toStdString();
    }
}
