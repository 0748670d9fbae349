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

// The character picture of an image: every row begins with CR LF and holds one
// display or space string per pixel; there is no line break after the last row.
// The ruler counts the bytes a row takes in the ANSI code page.
QString CollageText(const QImage& picture, const CollageOptions& options);
