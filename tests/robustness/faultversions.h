#pragma once

#include "app/inifile.h"
#include "app/settingskeys.h"

#include <QByteArray>
#include <QString>

// The two complete versions the fault writer alternates between; the kill tests
// compute the same versions to know which files are whole.
namespace faultversions {

// Values of different lengths, so that a file cut or spliced anywhere differs from both.
inline QString settingValue(int index, bool versionB)
{
    return versionB ? QStringLiteral("乙%1-").arg(index).repeated(8) : QString::number(index);
}

// The settings file as one save writes it, all twenty keys in one document.
inline QByteArray settingsBytes(bool versionB)
{
    QByteArray document;
    for (int i = 0; i < SettingCount; ++i)
        WriteIni(document, QString::fromUtf16(SettingKeys[i].section),
            QString::fromUtf16(SettingKeys[i].key), settingValue(i, versionB));
    return document;
}

// A result file of several megabytes, so that a kill lands in the middle of writing it: rows of
// ideographic spaces (A1 A1) or of "砾" (C0 F9), each after a CR LF.
inline QByteArray resultBytes(bool versionB)
{
    const QByteArray row = versionB ? QByteArray("\r\n") + QByteArray("\xC0\xF9").repeated(1500)
                                    : QByteArray("\r\n") + QByteArray("\xA1\xA1").repeated(1024);
    return row.repeated(versionB ? 1100 : 1500);
}

} // namespace faultversions
