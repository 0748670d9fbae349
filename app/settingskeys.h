#pragma once

#include <array>

// The twenty settings, in the order they are read and written, each with the
// text that stands in for it when it is missing or empty.
struct SettingKey
{
    const char16_t* section;
    const char16_t* key;
    const char16_t* defaultText;
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

inline constexpr std::array<SettingKey, SettingCount> SettingKeys = {{
    {u"窗体", u"Left", u"0"},
    {u"窗体", u"Top", u"0"},
    {u"窗体", u"Width", u"4800"},
    {u"窗体", u"Height", u"3600"},
    {u"窗体", u"WindowState", u"0"},
    {u"属性", u"图片宽", u"12"},
    {u"属性", u"图片高", u"12"},
    {u"属性", u"字号", u"9"},
    {u"属性", u"粗体", u"False"},
    {u"属性", u"斜体", u"False"},
    {u"属性", u"下划线", u"False"},
    {u"属性", u"删除线", u"False"},
    {u"设置", u"删除右侧空格", u"False"},
    {u"设置", u"改变字体", u"False"},
    {u"设置", u"处理方式", u"0"},
    {u"设置", u"亮度", u"128"},
    {u"设置", u"背景图片", u""},
    {u"设置", u"自动切换", u"True"},
    {u"设置", u"锁定输出文本框", u"False"},
    {u"设置", u"保持宽度", u"False"},
}};
