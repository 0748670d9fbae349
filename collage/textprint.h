#pragma once

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QString>

// Draws text into an image the way a picture box prints: the first line's cell
// has its top-left corner at `position`, every further line starts at the left
// edge one line height lower, only the glyph strokes are painted (in black), and
// what lies beyond the image is cut off. Lines are separated by CR LF or LF.
// Returns the position after the last line: the left edge of the next line.
QPoint PrintText(QImage& image, const QFont& font, QPoint position, const QString& text);

// The lines of a text as printing splits them.
QStringList PrintLines(const QString& text);
