#include "app/CCommandLine.h"

#include "MapregVersion.h"
#include "app/AppStrings.h"
#include "resources/StringTable.h"

#include <QCommandLineParser>

namespace mapreg {

CCommandLine CCommandLine::Parse(const QStringList& args) {
    QCommandLineParser parser;
    // "-help" reads like "--help", as users of other programs type it.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
    parser.addOption(help);
    parser.addOption(version);
    // Parse reports unknown options and values given to flags, but reads everything else.
    parser.parse(args);

    CCommandLine line;
    line.m_bHelp = parser.isSet(help);
    line.m_bVersion = parser.isSet(version);
    const QStringList files = parser.positionalArguments();
    line.m_strFile = files.isEmpty() ? QString() : files.front();
    for (const QString& name : parser.unknownOptionNames()) {
        line.m_unknown << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    }
    return line;
}

QString CCommandLine::UsageText() {
    return AppString(IDS_APP_USAGE);
}

QString CCommandLine::VersionText() {
    return AppFormatString1(IDS_ABOUT_VERSION, QStringLiteral(MAPREG_VERSION)) + QLatin1Char('\n');
}

} // namespace mapreg
