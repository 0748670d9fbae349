#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <optional>

// How the settings file's texts become values. Every reading accepts any text;
// what a reading cannot use gives the key's default, so the window always opens.

// "dir" and "name" joined by exactly one directory separator.
QString JoinPath(const QString& dir, const QString& name);

// The settings file: beside the program when it can be written there, else in
// the user's own configuration folder.
QString SettingsFilePath(const QString& programDir, const QString& userConfigDir);

// True for a file that exists, can be asked for its length, and is not empty.
bool FileExists(const QString& path);

// A number field's text: the number its text starts with, written plainly
// ("12abc" gives "12", "abc" "0", "1e2" "100").
QString FieldText(const QString& stored);

// A check box state 0, 1 or 2; "False" reads as 0, anything else unreadable too.
int CheckState(const QString& stored);

// The processing mode: the whole number the text starts with, 0 outside 0..2.
qint16 ProcessModeSetting(const QString& stored);

// K: a whole number 0..255 held to 16..240; 128 when unreadable.
quint8 ThresholdSetting(const QString& stored);

// A check mark: a boolean word or a number; `fallback` when neither.
bool FlagSetting(const QString& stored, bool fallback);

// A window measure in twips, as the whole number the text starts with;
// nullopt when it is beyond what a window measure can hold.
std::optional<int> WindowMeasure(const QString& stored);

// Where a window with this outer rectangle should go so that its title bar can be
// reached on one of the screens: unchanged when it already can.
QPoint ReachablePosition(const QRect& frame, const QList<QRect>& screens);
