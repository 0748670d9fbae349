#pragma once

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
enum class ProcessMode : qint16; // how a pixel is judged (collage/pixelrules.h)
struct SettingValues;
struct SettingsFiles;

// The one window. Its controls carry the names the rest of the program uses;
// the handlers live in the folder of the subsystem they belong to.
class FrmTessarin : public QWidget
{
    Q_OBJECT

public:
    static const QString Title;

    explicit FrmTessarin(Services& services, QWidget* parent = nullptr);
    ~FrmTessarin() override;

    // The controls, in the window's keyboard order.
    MultiLineTextBox* TxtSrc; // the source text drawn into the preview
    MultiLineTextBox* TxtView1; // the display string, written for every dark pixel
    MultiLineTextBox* TxtView2; // the space string, written for every light pixel
    TextBox* TxtMapWidth; // the preview's width in pixels
    TextBox* TxtMapHeight; // the preview's height in pixels
    TextBox* TxtHeight; // the preview font's size in points
    CheckBox* ChkB; // bold
    CheckBox* ChkI; // italic
    CheckBox* ChkU; // underline
    CheckBox* ChkD; // strikeout
    CheckBox* ChkDelRight; // "删除右侧空格": trim the blanks at the end of every row
    Label* LblFontName; // "字体名"; a double click reads the installed fonts again
    CheckBox* ChkTxtFont; // "改变字体": the source box shows the preview font
    QListWidget* ListFontName; // the installed fonts; the chosen one draws the preview
    TabLabel* Lbl1; // the "预览" tab
    TabLabel* Lbl2; // the "显示" tab
    CommandButton* CmdConv; // "生成": makes the character picture
    CommandButton* CmdMore; // "▼": opens MnuPop
    PictureBox* Pic1; // the preview's viewport
    ScrollBar* HSBar1; // scrolls the preview sideways
    ScrollBar* VSBar1; // scrolls the preview up and down
    PictureBox* Pic2; // the preview picture, read pixel by pixel by "生成"
    PictureBox* Pic3; // the background tile in use (hidden)
    OutputBox* TxtOut; // the character picture, under the preview group
    PictureBox* Pic4; // the built-in background tile (hidden)

    CommonDialog CDlgOpen; // the background picture's open dialog
    CommonDialog CDlgSave; // the result's save dialog

    QMenu* MnuPop; // the "▼" menu
    QAction* mnuCopyText; // "复制文字": the whole result to the clipboard
    QAction* mnuSave; // "保存文本": the result into a GBK text file
    QAction* mnuBgMap; // "选择背景图片"
    QAction* mnuSetOldBgMap; // "设置默认背景图": the built-in tile again
    QAction* mnuBar0_0; // separator
    QAction* mnuZDQH; // "自动切换": each change brings its tab forward
    QAction* mnuFormDefSize; // "默认大小"
    QAction* mnuBar0_1; // separator
    QAction* mnuKeepWidth; // "保持宽度": a ruler line of T's above the result
    QAction* mnuLock; // "锁定文本框": the output box read-only
    QMenu* mnuTxtOutPop; // the output box's editing menu, also on its right click
    QAction* mnuUnDo; // "撤销"
    QAction* mnuBar1_0; // separator
    QAction* mnuCut; // "剪切"
    QAction* mnuCopy; // "复制"
    QAction* mnuPaste; // "粘贴"
    QAction* mnuDel; // "删除"
    QAction* mnuBar1_1; // separator
    QAction* mnuSelAll; // "全选"
    QAction* mnuBar0_2; // separator
    QMenu* mnuCLFS; // "处理方式": how a pixel is judged
    std::array<QAction*, 3> mnuFS; // the three modes, fastest first

    ProcessMode mProcessMode = ProcessMode(0); // the mode chosen in mnuFS, fastest at first
    quint8 mKValue = 0; // K of the slowest mode
    bool mShowOutput = false; // the output tab is in front
    bool mChangeFont = false; // ChkTxtFont is ticked
    QString mBgMapFile; // the background picture's file; empty for the built-in tile

    // Start-up and shutdown, and the settings they read and write.
    void Form_Load();
    void Form_Unload();
    void LoadSettings(); // from the settings file, or the defaults without one
    void SaveSettings(); // into the settings file, at close
    void SetSettingsFiles(const SettingsFiles& files);

    // Collage generation.
    void RenderPreview(); // redraws Pic2: the tile, then the source text
    void CmdConv_Click();
    void mnuFS_Click(int index); // the slowest mode asks for K
    static QString SlowModeCaption(quint8 k); // mnuFS[2]'s caption, K included
    void Lbl1_Click();
    void Lbl2_Click();
    void mnuBgMap_Click();
    void mnuSetOldBgMap_Click();
    // The picture file as the background, as "选择背景图片" takes it; a file that is no usable
    // picture changes nothing but gets a warning that says why.
    void SetBackgroundFile(const QString& fileName);

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
    // Up and Down step a number field within min .. max.
    void NumericKeyStep(TextBox* field, Qt::Key key, qint32 min, qint32 max);

    // Layout and scrolling.
    void Form_Resize(); // lays the controls out for the window's size
    void LayoutPreview(); // the scroll bars for the preview's size
    void HSBar1_Change();
    void HSBar1_Scroll();
    void VSBar1_Change();
    void VSBar1_Scroll();

    // The menus and the window's options.
    void CmdMore_Click();
    void MnuPop_Click(); // enables the editing entries that can act
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
    void createBackgrounds();
    void popupOutputMenu(QPoint at);
    bool chooseSaveFile();
    void copyPreviewFontToSource();
    void loadWindowPlacement(const QRect& twips, bool maximized);
    bool saveSettingsTo(const QString& path, const SettingValues& values, bool makeFolder);
    QRect normalBounds() const;
    bool placing() const;
    QMargins frameMargins() const;
    void AutoSwitchToPreview(); // brings the preview forward when mnuZDQH is checked
    void applyStyle(CheckBox* box, void (QFont::*style)(bool));
    void applyPictureSize(const QString& text, Qt::Orientation direction);
    void connectHandlers();
    void SetDefaultSize(); // the outer size of "默认大小"
    void createControls();
    void createMenus();

    Services& m_services;
    bool m_defaultSizeOnRestore = false;
    // Where the settings are read from and saved to, and where a failed save goes.
    QString m_settingsRead;
    QString m_settingsSave;
    QString m_settingsFallback;
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
