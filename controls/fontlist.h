#pragma once

#include <QStringList>

// The font list's entries: the names in ascending order without regard to letter
// case, in the collation of the user's locale; equal names keep the order they
// came in.
QStringList SortedFontNames(QStringList names);

// The font the list selects by default: the first of the Song faces (window/defaults.h) it holds
// (the last entry of exactly that name), or else its last entry; -1 for an empty list.
qsizetype DefaultFontIndex(const QStringList& entries);
