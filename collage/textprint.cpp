#include "collage/textprint.h"

#include <QFontMetrics>
#include <QPainter>

void PrintText(QImage& image, const QFont& font, const QString& text)
{
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.setRenderHint(QPainter::TextAntialiasing, !(font.styleStrategy() & QFont::NoAntialias));
    const QFontMetrics metrics(font, &image);
    // Cells are stacked by the font's height; the baseline lies one ascent below the cell's top.
    // A line whose top is below the picture cannot show, nor can any after it, so a source of
    // millions of short lines costs no more than the lines the picture holds.
    const QStringView all(text);
    int y = 0;
    for (qsizetype start = 0; start <= all.size() && y < image.height();) {
        qsizetype end = all.indexOf(u'\n', start);
        if (end < 0)
            end = all.size();
        QStringView line = all.sliced(start, end - start);
        if (end < all.size() && line.endsWith(u'\r'))
            line.chop(1);
        if (!line.isEmpty())
            painter.drawText(QPoint(0, y + metrics.ascent()), line.toString());
        y += metrics.height();
        start = end + 1;
    }
}
