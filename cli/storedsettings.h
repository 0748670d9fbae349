#pragma once

#include "window/defaults.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The values that decide a collage, as the window holds them when it opens
// without a settings file.
struct CollageSettings
{
    int width = StartPreviewSide;
    int height = StartPreviewSide;
    int points = StartPoints;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool trim = false;
    bool keepWidth = false;
    int mode = 0;
    quint8 k = StartK;
    QString background; // the picture's file; empty for the built-in picture
};

// The values the bytes of a settings file give the window when it opens, read by the window's
// own rules: an empty file gives the defaults above, a stored field text that its field would
// refuse leaves the field's value as it was.
CollageSettings StoredSettings(const QByteArray& document);
