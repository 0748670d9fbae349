#pragma once

#include <QString>
#include <optional>

// How the number fields read their text, shared by the window and the
// command-line companion so both apply the same values.

// The font size: the whole number the text starts with, when it is at least 1.
std::optional<qint32> FontSizeFromText(const QString& text);

// The picture size a number asks for, when it lies within 1 .. 1024.
std::optional<qint32> PictureSize(double number);

// The picture size a text asks for: a number as a whole, within 1 .. 1024.
std::optional<qint32> PictureSizeFromText(const QString& text);
