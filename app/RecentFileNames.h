#pragma once
// The names under which the recent-file list shows its maps.

#include <QStringList>

namespace mapreg {

// For each path, its file name; where other paths end in the same name, the shortest tail of
// the path (parent folders and name) that no other path ends in, or the whole path when it is a
// tail of another one. Separators are shown the platform's way.
QStringList RecentFileMenuNames(const QStringList& paths);

} // namespace mapreg
