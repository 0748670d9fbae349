#include "window/frmtessarin.h"

#include "app/inifile.h"
#include "app/settingskeys.h"
#include "app/settingsrules.h"
#include "runtime/numbertext.h"
#include "runtime/picturefile.h"
#include "runtime/twips.h"
#include "window/buttons.h"
#include "window/picturebox.h"
#include "window/textboxes.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

namespace {

QString text(const char16_t* s)
{
    return QString::fromUtf16(s);
}

// One key read the way the settings are read: the variable holds the default,
// and a key that is present with an empty value leaves it so.
QString readSetting(const QString& path, SettingIndex index)
{
    const SettingKey& setting = SettingKeys[index];
    QString value = text(setting.defaultText);
    ReadIni(path, text(setting.section), text(setting.key), value, value);
    return value;
}

void writeSetting(const QString& path, SettingIndex index, const QString& value)
{
    const SettingKey& setting = SettingKeys[index];
    WriteIni(path, text(setting.section), text(setting.key), value);
}

QString flagText(bool on)
{
    return on ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace

void FrmTessarin::LoadSettings()
{
    const QString path = m_settingsPath;
    if (!FileExists(path)) {
        mProcessMode = ProcessMode::Fastest;
        mKValue = 128;
        Pic3->SetPicture(Pic4->Picture());
    } else {
        loadWindowPlacement(path);

        TxtMapWidth->setText(FieldText(readSetting(path, KeyPictureWidth)));
        TxtMapHeight->setText(FieldText(readSetting(path, KeyPictureHeight)));
        TxtHeight->setText(FieldText(readSetting(path, KeyFontSize)));
        ChkB->SetValue(CheckState(readSetting(path, KeyBold)));
        ChkI->SetValue(CheckState(readSetting(path, KeyItalic)));
        ChkU->SetValue(CheckState(readSetting(path, KeyUnderline)));
        ChkD->SetValue(CheckState(readSetting(path, KeyStrikeOut)));

        ChkDelRight->SetValue(CheckState(readSetting(path, KeyTrim)));
        ChkTxtFont->SetValue(CheckState(readSetting(path, KeyChangeFont)));
        if (ChkTxtFont->Value() != 0)
            copyPreviewFontToSource();

        mProcessMode = ProcessMode(ProcessModeSetting(readSetting(path, KeyProcessMode)));
        mKValue = ThresholdSetting(readSetting(path, KeyThreshold));

        // The one step whose failure is passed over: a background that no longer
        // loads gives way to the built-in one.
        const QString background = readSetting(path, KeyBackground);
        const std::optional<QImage> picture
            = background.isEmpty() ? std::nullopt : LoadPicture(background);
        if (picture) {
            Pic3->SetPicture(*picture);
            mBgMapFile = background;
            CDlgOpen.FileName = background;
        } else {
            mBgMapFile.clear();
            Pic3->SetPicture(Pic4->Picture());
        }

        mnuZDQH->setChecked(FlagSetting(readSetting(path, KeyAutoSwitch), true));
        if (FlagSetting(readSetting(path, KeyLock), false))
            mnuLock_Click();
        if (FlagSetting(readSetting(path, KeyKeepWidth), false))
            mnuKeepWidth_Click();
    }

    for (int i = 0; i < int(mnuFS.size()); ++i)
        mnuFS[i]->setChecked(i == int(mProcessMode));
    mnuFS[2]->setText(SlowModeCaption(mKValue));
}

// Bounds are the window's outer rectangle in twips. They are applied before the
// state, so a window that opens maximized comes back to them when restored.
void FrmTessarin::loadWindowPlacement(const QString& path)
{
    const auto measure = [&](SettingIndex index) {
        return WindowMeasure(readSetting(path, index))
            .value_or(int(LeadingNumber(text(SettingKeys[index].defaultText))));
    };
    const int left = measure(KeyLeft);
    const int top = measure(KeyTop);
    const int width = std::max(measure(KeyWidth), 0);
    const int height = std::max(measure(KeyHeight), 0);
    QRect frame(
        TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));

    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    frame.moveTopLeft(ReachablePosition(frame, screens));

    m_restoredFrame = frame;
    move(frame.topLeft());
    resize(frame.marginsRemoved(frameMarginsOf()).size());

    const bool maximized = LeadingNumber(readSetting(path, KeyWindowState)) == 2;
    setWindowState(maximized ? Qt::WindowMaximized : Qt::WindowNoState);
}

void FrmTessarin::SaveSettings()
{
    const QString path = m_settingsPath;
    if (path.isEmpty())
        return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    const int state = isMaximized() ? 2 : 0;
    // The bounds of the normal window, whatever state it is in now.
    const QRect frame = normalGeometry().marginsAdded(frameMarginsOf());
    const auto twips = [](int pixels) { return NumberText(float(PixelsToTwips(pixels))); };

    writeSetting(path, KeyLeft, twips(frame.left()));
    writeSetting(path, KeyTop, twips(frame.top()));
    writeSetting(path, KeyWidth, twips(frame.width()));
    writeSetting(path, KeyHeight, twips(frame.height()));
    writeSetting(path, KeyWindowState, QString::number(state));
    writeSetting(path, KeyPictureWidth, TxtMapWidth->text());
    writeSetting(path, KeyPictureHeight, TxtMapHeight->text());
    writeSetting(path, KeyFontSize, TxtHeight->text());
    writeSetting(path, KeyBold, QString::number(ChkB->Value()));
    writeSetting(path, KeyItalic, QString::number(ChkI->Value()));
    writeSetting(path, KeyUnderline, QString::number(ChkU->Value()));
    writeSetting(path, KeyStrikeOut, QString::number(ChkD->Value()));
    writeSetting(path, KeyTrim, QString::number(ChkDelRight->Value()));
    writeSetting(path, KeyChangeFont, QString::number(ChkTxtFont->Value()));
    writeSetting(path, KeyProcessMode, QString::number(int(mProcessMode)));
    writeSetting(path, KeyThreshold, QString::number(mKValue));
    writeSetting(path, KeyBackground, mBgMapFile);
    writeSetting(path, KeyAutoSwitch, flagText(mnuZDQH->isChecked()));
    writeSetting(path, KeyLock, flagText(mnuLock->isChecked()));
    writeSetting(path, KeyKeepWidth, flagText(mnuKeepWidth->isChecked()));
}
