#pragma once

#include "collage/pixelrules.h"

#include <QImage>
#include <QString>

struct CollageOptions
{
    QString display; // written for every dark pixel
    QString space; // written for every light pixel
    bool trim = false; // drop blanks and ideographic spaces at the end of every row
    bool keepWidth = false; // put a ruler line of "T"s as wide as the widest row in front
    ProcessMode mode = ProcessMode::Fastest;
    quint8 k = 128;
};

// The longest character picture the program builds: beyond it the text would
// take hundreds of megabytes and no text box could show it.
constexpr qsizetype MaxCollageLength = qsizetype(1) << 26;

// The most characters the picture of this image can take (rows, line breaks and
// the ruler line), whatever its pixels turn out to be.
qint64 CollageCapacity(const QImage& picture, const CollageOptions& options);

// Whether even that worst case fits within MaxCollageLength, as it does for the
// usual strings of one character.
inline bool CollageFits(const QImage& picture, const CollageOptions& options)
{
    return CollageCapacity(picture, options) <= MaxCollageLength;
}

// The length of the character picture of this image; more than MaxCollageLength
// also when a row before its trim would pass it. Counting stops there, so a picture
// is refused without building anything.
qint64 CollageLength(const QImage& picture, const CollageOptions& options);

// The character picture of an image: every row begins with CR LF and holds one
// display or space string per pixel; there is no line break after the last row.
// The ruler counts the bytes a row takes in the ANSI code page. Building must fit:
// CollageLength at most MaxCollageLength.
QString CollageText(const QImage& picture, const CollageOptions& options);
