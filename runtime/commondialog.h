#pragma once

#include <QString>
#include <QStringList>

// The settings of a common open or save dialog. They live as long as the window,
// so the dialog offers the last chosen file again.
struct CommonDialog
{
    QString DialogTitle;
    QString Filter; // "description|pattern|description|pattern…"
    int FilterIndex = 1; // 1-based, as the filter list counts its entries
    QString FileName;
};

// The entries of a filter in the form a Qt file dialog takes: "description (*.a *.b)". A
// description without a following pattern makes an entry of its own, which matches every
// file; a description that already ends in its own pattern list in parentheses keeps that
// place, with the patterns written the way the dialog reads them.
QStringList NameFilters(const QString& filter);

// The extension a save dialog adds to a name typed without one while the filter's entry at the
// 1-based index is chosen: that of its first pattern when it names one ("*.txt"), else none.
QString DefaultSuffix(const QString& filter, int filterIndex);
