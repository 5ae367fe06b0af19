#pragma once
// The desktop program's command line: an optional map file, --help and --version. Options the
// program does not know are collected so that the caller can report them and go on.

#include <QString>
#include <QStringList>

namespace mapreg {

class CCommandLine {
public:
    // Reads args (the program name first). Needs no application object, so that --help and
    // --version work where no display is available.
    static CCommandLine Parse(const QStringList& args);

    bool WantsHelp() const { return m_bHelp; }
    bool WantsVersion() const { return m_bVersion; }
    // The map file named on the command line; empty for a new map.
    const QString& File() const { return m_strFile; }
    // Unknown options as typed, such as "--bogus".
    const QStringList& UnknownOptions() const { return m_unknown; }

    // The usage text printed for --help.
    static QString UsageText();
    // The line printed for --version.
    static QString VersionText();

private:
    bool m_bHelp = false;
    bool m_bVersion = false;
    QString m_strFile;
    QStringList m_unknown;
};

} // namespace mapreg
