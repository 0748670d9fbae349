#pragma once

#include "window/defaults.h"

#include <QString>
#include <array>

// The twenty settings, in the order they are read and written, each with the
// text that stands in for it when it is missing or empty.
struct SettingKey
{
    const char16_t* section;
    const char16_t* key;
    QString defaultText;
};

enum SettingIndex {
    KeyLeft,
    KeyTop,
    KeyWidth,
    KeyHeight,
    KeyWindowState,
    KeyPictureWidth,
    KeyPictureHeight,
    KeyFontSize,
    KeyBold,
    KeyItalic,
    KeyUnderline,
    KeyStrikeOut,
    KeyTrim,
    KeyChangeFont,
    KeyProcessMode,
    KeyThreshold,
    KeyBackground,
    KeyAutoSwitch,
    KeyLock,
    KeyKeepWidth,
    SettingCount
};

inline const std::array<SettingKey, SettingCount> SettingKeys = {{
    {u"窗体", u"Left", u"0"_qs},
    {u"窗体", u"Top", u"0"_qs},
    {u"窗体", u"Width", QString::number(DefaultOuterSize.width())},
    {u"窗体", u"Height", QString::number(DefaultOuterSize.height())},
    {u"窗体", u"WindowState", u"0"_qs},
    {u"属性", u"图片宽", QString::number(StartPreviewSide)},
    {u"属性", u"图片高", QString::number(StartPreviewSide)},
    {u"属性", u"字号", QString::number(StartPoints)},
    {u"属性", u"粗体", u"False"_qs},
    {u"属性", u"斜体", u"False"_qs},
    {u"属性", u"下划线", u"False"_qs},
    {u"属性", u"删除线", u"False"_qs},
    {u"设置", u"删除右侧空格", u"False"_qs},
    {u"设置", u"改变字体", u"False"_qs},
    {u"设置", u"处理方式", u"0"_qs},
    {u"设置", u"亮度", QString::number(StartK)},
    {u"设置", u"背景图片", u""_qs},
    {u"设置", u"自动切换", u"True"_qs},
    {u"设置", u"锁定输出文本框", u"False"_qs},
    {u"设置", u"保持宽度", u"False"_qs},
}};
