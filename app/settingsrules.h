#pragma once

#include "window/defaults.h"

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>
#include <optional>

// How the settings file's texts become values. Every reading accepts any text;
// what a reading cannot use gives the key's default, so the window always opens.

// "dir" and "name" joined by exactly one directory separator.
QString JoinPath(const QString& dir, const QString& name);

// Where the settings are read from and saved to; an empty path: nowhere. A save that fails at
// save goes to fallback.
struct SettingsFiles
{
    QString read;
    QString save;
    QString fallback;
};

// "Tessarin.Ini" beside the program where it can be saved there: where its links lead, a readable
// regular file within the size limit that may be written, or none yet, in a folder that may be
// written. Then it is read from there, or from the user's folder while there is none beside the
// program, and a save that fails beside the program goes to the user's folder. Otherwise the saves
// go to the user's folder, and what is read is the file there, or else the one beside the program;
// a file that could not be read back whole is never replaced.
SettingsFiles FindSettingsFiles(const QString& programDir, const QString& userConfigDir);

// What a save at path sets the twenty keys in: the file as it stands then, so that what another
// program wrote meanwhile stays; where there is none (or an empty one), the file the settings were
// read from, which moves there with them. nullopt for a file that cannot be read back whole.
std::optional<QByteArray> SettingsAtClose(const QString& path, const QString& readFrom);

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

// The twenty settings as values, in the order they are read and written.
struct SettingValues
{
    QRect bounds; // twips: the outer bounds of the normal window
    bool maximized = false;
    QString pictureWidth;
    QString pictureHeight;
    QString fontSize;
    int bold = 0;
    int italic = 0;
    int underline = 0;
    int strikeOut = 0;
    int trim = 0;
    int changeFont = 0;
    qint16 mode = 0;
    quint8 k = StartK;
    QString background;
    bool autoSwitch = true;
    bool lock = false;
    bool keepWidth = false;
};

// Every key of the settings document, each by its own reading and with its own default.
SettingValues ReadSettingValues(const QByteArray& document);

// Every key set in the document, field texts and the path as they stand.
void WriteSettingValues(QByteArray& document, const SettingValues& values);
