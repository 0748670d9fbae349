#include "controls/fontlist.h"

#include "window/defaults.h"

#include <QCollator>
#include <algorithm>

QStringList SortedFontNames(QStringList names)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(names.begin(), names.end(),
        [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    return names;
}

qsizetype DefaultFontIndex(const QStringList& entries)
{
    for (const QString& face : SongFaces)
        if (const qsizetype index = entries.lastIndexOf(face); index >= 0)
            return index;
    return entries.size() - 1;
}
