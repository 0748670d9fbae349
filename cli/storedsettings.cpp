#include "cli/storedsettings.h"

#include "app/inifile.h"
#include "app/settingskeys.h"
#include "app/settingsrules.h"
#include "controls/numberfields.h"

namespace {

// As the window reads a key: the variable holds the default, and a key that is
// present with an empty value leaves it so.
QString readSetting(const QString& path, SettingIndex index)
{
    const SettingKey& setting = SettingKeys[index];
    QString value = QString::fromUtf16(setting.defaultText);
    ReadIni(
        path, QString::fromUtf16(setting.section), QString::fromUtf16(setting.key), value, value);
    return value;
}

bool checked(const QString& path, SettingIndex index)
{
    return CheckState(readSetting(path, index)) != 0;
}

} // namespace

CollageSettings StoredSettings(const QString& path)
{
    CollageSettings s;
    if (!FileExists(path))
        return s;
    // A field shows the stored number, then applies it only when it accepts it.
    s.width = PictureSizeFromText(FieldText(readSetting(path, KeyPictureWidth))).value_or(s.width);
    s.height
        = PictureSizeFromText(FieldText(readSetting(path, KeyPictureHeight))).value_or(s.height);
    s.points = FontSizeFromText(FieldText(readSetting(path, KeyFontSize))).value_or(s.points);
    s.bold = checked(path, KeyBold);
    s.italic = checked(path, KeyItalic);
    s.underline = checked(path, KeyUnderline);
    s.strikeOut = checked(path, KeyStrikeOut);
    s.trim = checked(path, KeyTrim);
    s.mode = ProcessModeSetting(readSetting(path, KeyProcessMode));
    s.k = ThresholdSetting(readSetting(path, KeyThreshold));
    s.background = readSetting(path, KeyBackground);
    s.keepWidth = FlagSetting(readSetting(path, KeyKeepWidth), false);
    return s;
}
