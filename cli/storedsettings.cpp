#include "cli/storedsettings.h"

#include "app/inifile.h"
#include "app/settingsrules.h"
#include "controls/numberfields.h"

CollageSettings StoredSettings(const QByteArray& document)
{
    CollageSettings s;
    const SettingValues stored = ReadSettingValues(document);
    // A field shows the stored number, then applies it only when it accepts it.
    s.width = PictureSizeFromText(stored.pictureWidth).value_or(s.width);
    s.height = PictureSizeFromText(stored.pictureHeight).value_or(s.height);
    s.points = FontSizeFromText(stored.fontSize).value_or(s.points);
    s.bold = stored.bold != 0;
    s.italic = stored.italic != 0;
    s.underline = stored.underline != 0;
    s.strikeOut = stored.strikeOut != 0;
    s.trim = stored.trim != 0;
    s.mode = stored.mode;
    s.k = stored.k;
    s.background = stored.background;
    s.keepWidth = stored.keepWidth;
    return s;
}
