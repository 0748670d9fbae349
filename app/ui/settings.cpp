#include "window/ui/frmtessarin.h"

#include "app/inifile.h"
#include "app/settingsrules.h"
#include "collage/pixelrules.h"
#include "runtime/picturefile.h"
#include "runtime/savefile.h"
#include "runtime/twips.h"
#include "window/defaults.h"
#include "window/ui/buttons.h"
#include "window/ui/picturebox.h"
#include "window/ui/textboxes.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>

void FrmTessarin::SetSettingsFiles(const SettingsFiles& files)
{
    m_settingsRead = files.read;
    m_settingsSave = files.save;
    m_settingsFallback = files.fallback;
}

void FrmTessarin::LoadSettings()
{
    const std::optional<QByteArray> document
        = FileExists(m_settingsRead) ? ReadIniFile(m_settingsRead) : std::nullopt;

    if (!document) {
        mProcessMode = ProcessMode::Fastest;
        mKValue = StartK;
        Pic3->SetPicture(Pic4->Picture());
    } else {
        const SettingValues stored = ReadSettingValues(*document);
        loadWindowPlacement(stored.bounds, stored.maximized);

        TxtMapWidth->setText(stored.pictureWidth);
        TxtMapHeight->setText(stored.pictureHeight);
        TxtHeight->setText(stored.fontSize);
        ChkB->SetValue(stored.bold);
        ChkI->SetValue(stored.italic);
        ChkU->SetValue(stored.underline);
        ChkD->SetValue(stored.strikeOut);

        ChkDelRight->SetValue(stored.trim);
        // Its handler copies the preview font to the source box.
        ChkTxtFont->SetValue(stored.changeFont);

        mProcessMode = ProcessMode(stored.mode);
        mKValue = stored.k;

        // The one step whose failure is passed over: a background that no longer
        // loads gives way to the built-in one.
        const std::optional<QImage> picture
            = stored.background.isEmpty() ? std::nullopt : LoadPicture(stored.background);
        if (picture) {
            Pic3->SetPicture(*picture);
            mBgMapFile = stored.background;
            CDlgOpen.FileName = stored.background;
        } else {
            mBgMapFile.clear();
            Pic3->SetPicture(Pic4->Picture());
        }

        mnuZDQH->setChecked(stored.autoSwitch);
        if (stored.lock)
            mnuLock_Click();
        if (stored.keepWidth)
            mnuKeepWidth_Click();
    }

    for (int i = 0; i < int(mnuFS.size()); ++i)
        mnuFS[i]->setChecked(i == int(mProcessMode));
    mnuFS[2]->setText(SlowModeCaption(mKValue));
}

void FrmTessarin::SaveSettings()
{
    const Qt::WindowStates state = windowState();
    const QRect frame = normalBounds();
    const auto twips = [](int pixels) { return int(PixelsToTwips(pixels)); };

    SettingValues values;
    values.bounds = QRect(
        twips(frame.left()), twips(frame.top()), twips(frame.width()), twips(frame.height()));
    values.maximized = (state & Qt::WindowMaximized) && !(state & Qt::WindowMinimized);
    values.pictureWidth = TxtMapWidth->text();
    values.pictureHeight = TxtMapHeight->text();
    values.fontSize = TxtHeight->text();
    values.bold = ChkB->Value();
    values.italic = ChkI->Value();
    values.underline = ChkU->Value();
    values.strikeOut = ChkD->Value();
    values.trim = ChkDelRight->Value();
    values.changeFont = ChkTxtFont->Value();
    values.mode = int(mProcessMode);
    values.k = mKValue;
    values.background = mBgMapFile;
    values.autoSwitch = mnuZDQH->isChecked();
    values.lock = mnuLock->isChecked();
    values.keepWidth = mnuKeepWidth->isChecked();

    // The saves that fail are passed over: the next start reads what the files then hold.
    if (!saveSettingsTo(m_settingsSave, values, m_settingsFallback.isEmpty()))
        saveSettingsTo(m_settingsFallback, values, true);
}

// The user's folder is made when needed; the program's folder never is.
bool FrmTessarin::saveSettingsTo(const QString& path, const SettingValues& values, bool makeFolder)
{
    if (path.isEmpty())
        return false;
    // A file that could not be read back whole is not replaced by one that lacks what it holds.
    std::optional<QByteArray> document = SettingsAtClose(path, m_settingsRead);
    if (!document)
        return false;
    WriteSettingValues(*document, values);
    // Nor by one the next start would not read.
    if (document->size() > MaxIniFileBytes)
        return false;
    if (makeFolder)
        QDir().mkpath(QFileInfo(path).absolutePath());
    return WriteFile(path, *document).ok();
}
