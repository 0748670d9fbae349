#include "window/frmtessarin.h"

#include "app/inifile.h"
#include "app/settingsrules.h"
#include "runtime/picturefile.h"
#include "runtime/savefile.h"
#include "runtime/twips.h"
#include "window/buttons.h"
#include "window/picturebox.h"
#include "window/textboxes.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

void FrmTessarin::LoadSettings()
{
    const std::optional<QByteArray> document
        = FileExists(m_settingsFiles.read) ? ReadIniFile(m_settingsFiles.read) : std::nullopt;

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

// Bounds are the window's outer rectangle in twips. They are applied before the
// state, so a window that opens maximized comes back to them when restored.
void FrmTessarin::loadWindowPlacement(const QRect& twips, bool maximized)
{
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    const QRect stored = TwipsRect(twips.left(), twips.top(), twips.width(), twips.height());
    const QRect frame = OpeningBounds(stored,
        TwipsRect(0, 0, DefaultOuterSize.width(), DefaultOuterSize.height()).size(), screens);

    // The frame is not known before the window is shown; the size is made good once it is.
    m_normalBounds = frame;
    m_placementPending = true;
    move(frame.topLeft());
    resize(frame.size());
    setWindowState(maximized ? Qt::WindowMaximized : Qt::WindowNoState);
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
    if (!saveSettingsTo(m_settingsFiles.save, values, m_settingsFiles.fallback.isEmpty()))
        saveSettingsTo(m_settingsFiles.fallback, values, true);
}

// The user's folder is made when needed; the program's folder never is.
bool FrmTessarin::saveSettingsTo(const QString& path, const SettingValues& values, bool makeFolder)
{
    if (path.isEmpty())
        return false;
    // A file that could not be read back whole is not replaced by one that lacks what it holds.
    std::optional<QByteArray> document = SettingsAtClose(path, m_settingsFiles.read);
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
