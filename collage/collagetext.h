#pragma once

#include "collage/pixelrules.h"
#include "window/defaults.h"

#include <QImage>
#include <QString>

struct CollageOptions
{
    QString display; // written for every dark pixel
    QString space; // written for every light pixel
    bool trim = false; // drop blanks and ideographic spaces at the end of every row
    bool keepWidth = false; // put a ruler line of "T"s as wide as the widest row in front
    ProcessMode mode = ProcessMode::Fastest;
    quint8 k = StartK;
};

// The longest character picture the program builds: beyond it the text would
// take hundreds of megabytes and no text box could show it.
constexpr qsizetype MaxCollageLength = qsizetype(1) << 26;

// Whether the character picture of this image stays within MaxCollageLength. The usual
// strings of one character always do; longer ones are measured on the picture.
bool CollageFits(const QImage& picture, const CollageOptions& options);

// The length of the character picture of this image; more than MaxCollageLength
// also when a row before its trim would pass it. Counting stops there, so a picture
// is refused without building anything.
qint64 CollageLength(const QImage& picture, const CollageOptions& options);

// The character picture of an image: every row begins with CR LF and holds one
// display or space string per pixel; there is no line break after the last row.
// The ruler counts the bytes a row takes in the ANSI code page. A picture whose text would be
// longer than MaxCollageLength (CollageFits says so beforehand) gives a null text.
QString CollageText(const QImage& picture, const CollageOptions& options);
