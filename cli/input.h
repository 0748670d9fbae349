#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// What was read from a file the user names, or why nothing was.
struct Input
{
    std::optional<QByteArray> bytes;
    QString reason; // why there are none
    bool tooLarge = false;
};

// The whole of a file, or of standard input for "-", read a piece at a time so that an endless
// source (a device, a pipe that never ends) is left once it passes the cap. The buffer grows by
// doubling up to the cap and no further, and is read into directly, so an endless source costs
// about the cap in memory.
Input ReadCapped(const QString& path, qint64 cap);
