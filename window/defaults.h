#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

// What the window's fields accept and start with, and its size: the companion and the settings
// file follow the same values.

// K of the slowest mode: the grey level from which a pixel counts as light.
constexpr int MinK = 16;
constexpr int MaxK = 240;
constexpr int StartK = 128;

// A side of the preview picture, and so of the collage, in pixels.
constexpr int MinPreviewSide = 1;
constexpr int MaxPreviewSide = 1024;
constexpr int StartPreviewSide = 12;

// The font size in points. The field holds three digits, and at 999 points a character is
// already larger than the largest picture.
constexpr int MinPoints = 1;
constexpr int MaxPoints = 999;
constexpr int StartPoints = 9;

// The source, display and space texts at start.
inline const QString StartSource = QStringLiteral("墨");
inline const QString StartDisplay = QStringLiteral("砾");
inline const QString StartSpace = QStringLiteral("\u3000");

// The window's outer size in twips, where a settings file gives none and for "默认大小".
constexpr QSize DefaultOuterSize(4800, 3600);

// The Song face the window was designed in, "宋体", then what stands in for it on
// other platforms, most alike first: Windows' own, then the Song faces of the
// Linux distributions (fonts-arphic-uming, fonts-noto-cjk) and Adobe's original.
inline const QStringList SongFaces = {QStringLiteral("宋体"), QStringLiteral("SimSun"),
    QStringLiteral("NSimSun"), QStringLiteral("AR PL UMing CN"),
    QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Source Han Serif SC")};
