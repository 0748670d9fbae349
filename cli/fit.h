#pragma once

#include <QSize>
#include <QStringView>
#include <optional>

// How many columns a terminal gives the text: two for each East Asian wide or fullwidth
// character ("砾", U+3000), one for the others ("#"), none for combining marks and controls.
int DisplayColumns(QStringView text);

// A character cell is about twice as tall as a half-width character is wide, so a pixel written
// as a string of one column stands for a 1 x 2 patch of the picture and one of two columns for a
// square.
constexpr int CellHeightInColumns = 2;

// The collage size that --fit scales a picture of the given size to: the sides given are kept; a
// side left out keeps the picture's shape once every pixel is drawn as a string of that many
// columns. Each side is rounded to the nearest pixel and held within 1 ... 1024. At least one
// side must be given.
QSize FitSize(QSize picture, std::optional<int> width, std::optional<int> height, int columns);
