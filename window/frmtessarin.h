#pragma once

#include "app/settingsrules.h"
#include "collage/pixelrules.h"
#include "runtime/commondialog.h"

#include <QElapsedTimer>
#include <QWidget>
#include <array>

class CheckBox;
class CommandButton;
class Label;
class MultiLineTextBox;
class OutputBox;
class PictureBox;
class QAction;
class QListWidget;
class QMenu;
class ScrollBar;
class Services;
class TabLabel;
class TextBox;

// The one window. Its controls carry the names the rest of the program uses;
// the handlers live in the folder of the subsystem they belong to.
class FrmTessarin : public QWidget
{
    Q_OBJECT

public:
    static const QString Title;

    explicit FrmTessarin(Services& services, QWidget* parent = nullptr);
    ~FrmTessarin() override;

    // Controls, in the window's keyboard order.
    MultiLineTextBox* TxtSrc;
    MultiLineTextBox* TxtView1;
    MultiLineTextBox* TxtView2;
    TextBox* TxtMapWidth;
    TextBox* TxtMapHeight;
    TextBox* TxtHeight;
    CheckBox* ChkB;
    CheckBox* ChkI;
    CheckBox* ChkU;
    CheckBox* ChkD;
    CheckBox* ChkDelRight;
    Label* LblFontName;
    CheckBox* ChkTxtFont;
    QListWidget* ListFontName;
    TabLabel* Lbl1;
    TabLabel* Lbl2;
    CommandButton* CmdConv;
    CommandButton* CmdMore;
    PictureBox* Pic1;
    ScrollBar* HSBar1;
    ScrollBar* VSBar1;
    PictureBox* Pic2;
    PictureBox* Pic3;
    OutputBox* TxtOut;
    PictureBox* Pic4;

    CommonDialog CDlgOpen;
    CommonDialog CDlgSave;

    // The pop-up menu tree.
    QMenu* MnuPop;
    QAction* mnuCopyText;
    QAction* mnuSave;
    QAction* mnuBgMap;
    QAction* mnuSetOldBgMap;
    QAction* mnuBar0_0;
    QAction* mnuZDQH;
    QAction* mnuFormDefSize;
    QAction* mnuBar0_1;
    QAction* mnuKeepWidth;
    QAction* mnuLock;
    QMenu* mnuTxtOutPop;
    QAction* mnuUnDo;
    QAction* mnuBar1_0;
    QAction* mnuCut;
    QAction* mnuCopy;
    QAction* mnuPaste;
    QAction* mnuDel;
    QAction* mnuBar1_1;
    QAction* mnuSelAll;
    QAction* mnuBar0_2;
    QMenu* mnuCLFS;
    std::array<QAction*, 3> mnuFS;

    // Form variables.
    ProcessMode mProcessMode = ProcessMode::Fastest;
    quint8 mKValue = 0;
    bool mShowOutput = false;
    bool mChangeFont = false;
    QString mBgMapFile;

    // Start-up and shutdown, and the settings they read and write.
    void Form_Load();
    void Form_Unload();
    void LoadSettings();
    void SaveSettings();
    void SetSettingsFiles(const SettingsFiles& files) { m_settingsFiles = files; }

    // Collage generation.
    void RenderPreview();
    void CmdConv_Click();
    void mnuFS_Click(int index);
    static QString SlowModeCaption(quint8 k);
    void Lbl1_Click();
    void Lbl2_Click();
    void mnuBgMap_Click();
    void mnuSetOldBgMap_Click();
    // The picture file as the background, as "选择背景图片" takes it; false, after a warning
    // that says why, for a file that is no usable picture.
    bool SetBackgroundFile(const QString& fileName);
    // A file dropped anywhere on the window goes to SetBackgroundFile.
    void AcceptPictureDrops();

    // The font list, the style buttons and the number fields.
    void LblFontName_DblClick();
    void ListFontName_Click();
    void ChkTxtFont_Click();
    void ChkB_Click();
    void ChkI_Click();
    void ChkU_Click();
    void ChkD_Click();
    void TxtHeight_Change();
    void TxtMapWidth_Change();
    void TxtMapHeight_Change();
    void TxtSrc_Change();
    void TxtHeight_KeyDown(Qt::Key key);
    void TxtMapWidth_KeyDown(Qt::Key key);
    void TxtMapHeight_KeyDown(Qt::Key key);
    void NumericKeyStep(TextBox* field, Qt::Key key, qint32 min, qint32 max);

    // Layout and scrolling.
    void Form_Resize();
    void LayoutPreview();
    void HSBar1_Change();
    void HSBar1_Scroll();
    void VSBar1_Change();
    void VSBar1_Scroll();

    // The menus and the window's options.
    void CmdMore_Click();
    void MnuPop_Click();
    void mnuTxtOutPop_Click();
    void TxtOut_MouseDown(Qt::MouseButton button);
    void TxtOut_MenuKey();
    void mnuZDQH_Click();
    void mnuKeepWidth_Click();
    void mnuLock_Click();
    void mnuFormDefSize_Click();

    // The output box's editing commands, and the whole result out of the program.
    void mnuUnDo_Click();
    void mnuCut_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();
    void mnuDel_Click();
    void mnuSelAll_Click();
    void mnuCopyText_Click();
    void mnuSave_Click();

    // The window's mouse pointer: the hourglass while a command runs.
    Qt::CursorShape MousePointer() const { return m_mousePointer; }
    void SetMousePointer(Qt::CursorShape pointer);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showTab(bool output);
    void createTabs();
    void popupOutputMenu(QPoint at);
    bool chooseSaveFile();
    void copyPreviewFontToSource();
    void loadWindowPlacement(const QRect& twips, bool maximized);
    bool saveSettingsTo(const QString& path, const SettingValues& values, bool makeFolder);
    QRect normalBounds() const;
    bool placing() const;
    QMargins frameMarginsOf() const;
    void AutoSwitchToPreview();
    void applyStyle(CheckBox* box, void (QFont::*style)(bool));
    void applyPictureSize(const QString& text, Qt::Orientation direction);
    void connectHandlers();
    void SetDefaultSize();
    void createControls();
    void createMenus();

    Services& m_services;
    QRect m_restoredFrame;
    bool m_defaultSizeOnRestore = false;
    SettingsFiles m_settingsFiles;
    // The outer bounds of the normal window: as loaded until the window has been seen normal in
    // its frame, then as last seen so.
    QRect m_normalBounds;
    bool m_placementPending = false;
    QElapsedTimer m_placing;
    int m_placingRequests = 0;
    Qt::CursorShape m_mousePointer = Qt::ArrowCursor;
    // Fills the work area behind the preview group, so no part of the covered output box shows
    // between the viewport and its bars.
    QWidget* m_previewBackdrop = nullptr;
    // The file the last successful save wrote; saving to it again asks nothing.
    QString m_savedFile;
};
