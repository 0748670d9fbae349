#include "collage/textprint.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRegularExpression>

void PrintText(QImage& image, const QFont& font, const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n"));
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.setRenderHint(QPainter::TextAntialiasing, !(font.styleStrategy() & QFont::NoAntialias));
    const QFontMetrics metrics(font, &image);
    // Cells are stacked by the font's height; the baseline lies one ascent below
    // the cell's top.
    int y = 0;
    for (const QString& line : text.split(lineBreak)) {
        if (!line.isEmpty())
            painter.drawText(QPoint(0, y + metrics.ascent()), line);
        y += metrics.height();
    }
}
