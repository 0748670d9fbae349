#include "controls/fontlist.h"

#include <algorithm>

SortedNames::SortedNames()
    : m_collator(QLocale())
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

qsizetype SortedNames::InsertPosition(const QStringList& entries, const QString& name) const
{
    const auto at = std::upper_bound(entries.begin(), entries.end(), name,
        [this](const QString& a, const QString& b) { return m_collator.compare(a, b) < 0; });
    return at - entries.begin();
}

qsizetype DefaultFontIndex(const QStringList& entries)
{
    qsizetype index = -1;
    for (qsizetype i = 0; i < entries.size(); ++i)
        if (entries[i] == DefaultFontName)
            index = i;
    return index >= 0 ? index : entries.size() - 1;
}
