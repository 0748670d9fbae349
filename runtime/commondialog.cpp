#include "runtime/commondialog.h"

namespace {

struct FilterEntry
{
    QString description;
    QStringList patterns; // empty when the entry names no pattern
};

// Splits "description|pattern|…" into its entries.
QList<FilterEntry> ParseFilter(const QString& filter)
{
    QList<FilterEntry> entries;
    if (filter.isEmpty())
        return entries;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        FilterEntry entry {parts[i], {}};
        if (i + 1 < parts.size())
            entry.patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        entries.append(entry);
    }
    return entries;
}

} // namespace

QStringList NameFilters(const QString& filter)
{
    QStringList result;
    for (const FilterEntry& entry : ParseFilter(filter)) {
        const QStringList patterns
            = entry.patterns.isEmpty() ? QStringList {QStringLiteral("*")} : entry.patterns;
        const QString spaced = patterns.join(QLatin1Char(' '));
        const QString ownList
            = QLatin1Char('(') + patterns.join(QLatin1Char(';')) + QLatin1Char(')');
        QString description = entry.description;
        if (!entry.patterns.isEmpty() && description.endsWith(ownList)) {
            description.chop(ownList.size());
            result.append(description + QLatin1Char('(') + spaced + QLatin1Char(')'));
        } else {
            result.append(description + QStringLiteral(" (") + spaced + QLatin1Char(')'));
        }
    }
    return result;
}

QString DefaultSuffix(const QString& filter, int filterIndex)
{
    const QList<FilterEntry> entries = ParseFilter(filter);
    if (filterIndex < 1 || filterIndex > entries.size()
        || entries[filterIndex - 1].patterns.isEmpty())
        return QString();
    const QString pattern = entries[filterIndex - 1].patterns.constFirst().trimmed();
    const QString suffix = pattern.mid(2);
    const bool wild = suffix.contains(u'*') || suffix.contains(u'?') || suffix.contains(u'[');
    return pattern.startsWith(u"*.") && !suffix.isEmpty() && !wild ? suffix : QString();
}
