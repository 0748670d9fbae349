#include "collage/textprint.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRegularExpression>

QStringList PrintLines(const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n"));
    return text.split(lineBreak);
}

QPoint PrintText(QImage& image, const QFont& font, QPoint position, const QString& text)
{
    const QStringList lines = PrintLines(text);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.setRenderHint(QPainter::TextAntialiasing, !(font.styleStrategy() & QFont::NoAntialias));
    const QFontMetrics metrics(font, &image);
    // Cells are stacked by the font's height; the baseline lies one ascent below
    // the cell's top.
    int x = position.x();
    int y = position.y();
    for (const QString& line : lines) {
        if (!line.isEmpty())
            painter.drawText(QPoint(x, y + metrics.ascent()), line);
        x = 0;
        y += metrics.height();
    }
    return QPoint(0, y);
}
