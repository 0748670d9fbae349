#pragma once

#include <QStringList>

// The font list's entries: the names in ascending order without regard to letter
// case, in the collation of the user's locale; equal names keep the order they
// came in.
QStringList SortedFontNames(QStringList names);

// The Song face the window was designed in, "宋体", then what stands in for it on
// other platforms, most alike first: Windows' own, then the Song faces of the
// Linux distributions (fonts-arphic-uming, fonts-noto-cjk) and Adobe's original.
inline const QStringList SongFaces = {QStringLiteral("宋体"), QStringLiteral("SimSun"),
    QStringLiteral("NSimSun"), QStringLiteral("AR PL UMing CN"),
    QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Source Han Serif SC")};

// The font the list selects by default: the first of the Song faces it holds (the
// last entry of exactly that name), or else its last entry; -1 for an empty list.
qsizetype DefaultFontIndex(const QStringList& entries);
