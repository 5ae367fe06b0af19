#include "app/RecentFileNames.h"

#include <QDir>

#include <vector>

namespace mapreg {

namespace {

// The last n parts of a path split at '/', joined again; all of it when n is too large.
QString Tail(const QStringList& parts, qsizetype n) {
    return parts.mid(std::max<qsizetype>(0, parts.size() - n)).join(QLatin1Char('/'));
}

} // namespace

QStringList RecentFileMenuNames(const QStringList& paths) {
    std::vector<QStringList> parts;
    parts.reserve(static_cast<std::size_t>(paths.size()));
    for (const QString& path : paths) {
        parts.push_back(QDir::fromNativeSeparators(path).split(QLatin1Char('/')));
    }
    QStringList names;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        qsizetype n = 1;
        const auto clashes = [&] {
            for (std::size_t j = 0; j < parts.size(); ++j) {
                if (j != i && Tail(parts[j], n) == Tail(parts[i], n)) {
                    return true;
                }
            }
            return false;
        };
        while (n < parts[i].size() && clashes()) {
            ++n;
        }
        names << QDir::toNativeSeparators(Tail(parts[i], n));
    }
    return names;
}

} // namespace mapreg
