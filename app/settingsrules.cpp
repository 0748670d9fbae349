#include "app/settingsrules.h"

#include "app/inifile.h"
#include "app/settingskeys.h"
#include "runtime/numbertext.h"
#include "runtime/twips.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString text(const char16_t* s)
{
    return QString::fromUtf16(s);
}

// One key read the way the settings are read: the variable holds the default, and a key that is
// present with an empty value leaves it so.
QString readSetting(const IniDocument& document, SettingIndex index)
{
    const SettingKey& setting = SettingKeys[index];
    QString value = setting.defaultText;
    ReadIni(document, text(setting.section), text(setting.key), value, value);
    return value;
}

// A file that is not there, or one that can be read back whole, so that a save keeps what it
// holds beyond the twenty keys.
bool replaceable(const QString& path)
{
    const QFileInfo file(path);
    return !file.exists() || (file.isFile() && file.isReadable() && file.size() <= MaxIniFileBytes);
}

bool holdsSettings(const QString& path)
{
    return FileExists(path) && replaceable(path);
}

// The file a write of path changes: where its links lead; empty for a loop.
QString writtenFile(const QString& path)
{
    QFileInfo file(path);
    for (int depth = 0; depth < 40 && file.isSymLink(); ++depth)
        file.setFile(file.symLinkTarget());
    return file.isSymLink() ? QString() : file.absoluteFilePath();
}

// The file is replaced through a new file in its folder, so the folder must take one.
bool savableAt(const QString& path)
{
    const QString target = writtenFile(path);
    if (target.isEmpty() || !replaceable(target))
        return false;
    const QFileInfo file(target);
    return QFileInfo(file.absolutePath()).isWritable() && (!file.exists() || file.isWritable());
}

} // namespace

QString JoinPath(const QString& dir, const QString& name)
{
    const QChar separator = QDir::separator();
    if (dir.endsWith(separator))
        return dir + name;
    return dir + separator + name;
}

SettingsFiles FindSettingsFiles(const QString& programDir, const QString& userConfigDir)
{
    const QString name = QStringLiteral("Tessarin.Ini");
    const QString beside = JoinPath(programDir, name);
    const QString user = JoinPath(userConfigDir, name);
    const QString readBeside = holdsSettings(beside) ? beside : QString();
    const QString saveUser = replaceable(user) ? user : QString();
    if (savableAt(beside))
        return {readBeside.isEmpty() && holdsSettings(user) ? user : readBeside, beside, saveUser};
    // The saves go to the user's folder, so what was saved there last is read first.
    return {holdsSettings(user) ? user : readBeside, saveUser, {}};
}

std::optional<QByteArray> SettingsAtClose(const QString& path, const QString& readFrom)
{
    const QFileInfo file(path);
    if (file.exists() && !(file.isFile() && file.size() == 0))
        return ReadIniFile(path);
    if (path != readFrom && FileExists(readFrom))
        return ReadIniFile(readFrom).value_or(QByteArray());
    return QByteArray();
}

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo file(path);
    return file.isFile() && file.size() != 0;
}

QString FieldText(const QString& stored)
{
    return NumberText(LeadingNumber(stored));
}

int CheckState(const QString& stored)
{
    const std::optional<qint32> state = TextToWhole(stored, WholeType::Int16);
    return state && *state >= 0 && *state <= 2 ? *state : 0;
}

qint16 ProcessModeSetting(const QString& stored)
{
    const std::optional<qint32> mode = ToWhole(LeadingNumber(stored), WholeType::Int16);
    return mode && *mode >= 0 && *mode <= 2 ? qint16(*mode) : 0;
}

quint8 ThresholdSetting(const QString& stored)
{
    const std::optional<qint32> k = TextToWhole(stored, WholeType::Byte);
    if (!k)
        return StartK;
    return quint8(std::clamp(*k, MinK, MaxK));
}

bool FlagSetting(const QString& stored, bool fallback)
{
    return TextToBoolean(stored).value_or(fallback);
}

std::optional<int> WindowMeasure(const QString& stored)
{
    // A window measure is a single-precision number of twips; as pixels it must
    // still fit the window system's coordinates.
    constexpr double limit = 1e7;
    const double twips = LeadingNumber(stored);
    if (!(twips >= -limit && twips <= limit))
        return std::nullopt;
    return int(ToWhole(twips, WholeType::Int32).value_or(0));
}

SettingValues ReadSettingValues(const QByteArray& file)
{
    const IniDocument document(file);
    const auto read = [&](SettingIndex index) { return readSetting(document, index); };
    const auto measure = [&](SettingIndex index) {
        return WindowMeasure(read(index))
            .value_or(int(LeadingNumber(SettingKeys[index].defaultText)));
    };
    SettingValues v;
    v.bounds = QRect(measure(KeyLeft), measure(KeyTop), measure(KeyWidth), measure(KeyHeight));
    // A stored 1 (minimized) opens a normal window.
    v.maximized = LeadingNumber(read(KeyWindowState)) == 2;
    v.pictureWidth = FieldText(read(KeyPictureWidth));
    v.pictureHeight = FieldText(read(KeyPictureHeight));
    v.fontSize = FieldText(read(KeyFontSize));
    v.bold = CheckState(read(KeyBold));
    v.italic = CheckState(read(KeyItalic));
    v.underline = CheckState(read(KeyUnderline));
    v.strikeOut = CheckState(read(KeyStrikeOut));
    v.trim = CheckState(read(KeyTrim));
    v.changeFont = CheckState(read(KeyChangeFont));
    v.mode = ProcessModeSetting(read(KeyProcessMode));
    v.k = ThresholdSetting(read(KeyThreshold));
    v.background = read(KeyBackground);
    v.autoSwitch = FlagSetting(read(KeyAutoSwitch), true);
    v.lock = FlagSetting(read(KeyLock), false);
    v.keepWidth = FlagSetting(read(KeyKeepWidth), false);
    return v;
}

void WriteSettingValues(QByteArray& file, const SettingValues& v)
{
    IniDocument document(file);
    const auto write = [&](SettingIndex index, const QString& value) {
        const SettingKey& setting = SettingKeys[index];
        WriteIni(document, text(setting.section), text(setting.key), value);
    };
    const auto whole = [](int n) { return QString::number(n); };
    // The bounds are single-precision numbers of twips.
    const auto measure = [](int twips) { return NumberText(float(twips)); };
    const auto flag = [](bool on) { return on ? QStringLiteral("True") : QStringLiteral("False"); };
    write(KeyLeft, measure(v.bounds.left()));
    write(KeyTop, measure(v.bounds.top()));
    write(KeyWidth, measure(v.bounds.width()));
    write(KeyHeight, measure(v.bounds.height()));
    write(KeyWindowState, whole(v.maximized ? 2 : 0));
    write(KeyPictureWidth, v.pictureWidth);
    write(KeyPictureHeight, v.pictureHeight);
    write(KeyFontSize, v.fontSize);
    write(KeyBold, whole(v.bold));
    write(KeyItalic, whole(v.italic));
    write(KeyUnderline, whole(v.underline));
    write(KeyStrikeOut, whole(v.strikeOut));
    write(KeyTrim, whole(v.trim));
    write(KeyChangeFont, whole(v.changeFont));
    write(KeyProcessMode, whole(v.mode));
    write(KeyThreshold, whole(v.k));
    write(KeyBackground, v.background);
    write(KeyAutoSwitch, flag(v.autoSwitch));
    write(KeyLock, flag(v.lock));
    write(KeyKeepWidth, flag(v.keepWidth));
    file = document.bytes();
}
