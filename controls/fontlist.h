#pragma once

#include <QCollator>
#include <QStringList>

// The font list keeps its entries in ascending order without regard to letter
// case, in the collation of the user's locale; equal names keep the order they
// came in.
class SortedNames
{
public:
    SortedNames();
    // Where a new name goes: after every entry that sorts before it or equal to it.
    qsizetype InsertPosition(const QStringList& entries, const QString& name) const;

private:
    QCollator m_collator;
};

// The font the list selects by default: the last entry that is exactly the
// default name, or else the last entry; -1 for an empty list.
qsizetype DefaultFontIndex(const QStringList& entries);

inline const QString DefaultFontName = QStringLiteral("宋体");
