#include "window/frmtessarin.h"

#include "window/textboxes.h"

#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

QAction* addEntry(QMenu* menu, const char16_t* caption, QKeySequence shortcut = {})
{
    QAction* action = menu->addAction(QString::fromUtf16(caption));
    action->setShortcut(shortcut);
    return action;
}

QAction* addOption(QMenu* menu, const char16_t* caption, QKeySequence shortcut, bool checked)
{
    QAction* action = addEntry(menu, caption, shortcut);
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}

// Runs a handler when the entry is chosen. Qt flips a checkable entry's mark by
// itself before it reports the choice; the mark is put back first, so that the
// handler alone decides it, as it does when called from code.
template <class Handler> void onChosen(QAction* action, FrmTessarin* window, Handler handler)
{
    QObject::connect(action, &QAction::triggered, window, [action, handler] {
        if (action->isCheckable())
            action->setChecked(!action->isChecked());
        handler();
    });
}

} // namespace

void FrmTessarin::createMenus()
{
    // The tree is never shown as a menu bar, only as a pop-up.
    MnuPop = new QMenu(QStringLiteral("弹出"), this);
    mnuCopyText = addEntry(MnuPop, u"复制文字(&T)", Qt::CTRL | Qt::Key_T);
    mnuSave = addEntry(MnuPop, u"保存文本(&S)", Qt::CTRL | Qt::Key_S);
    mnuBgMap = addEntry(MnuPop, u"选择背景图片(&B)", Qt::CTRL | Qt::Key_B);
    mnuSetOldBgMap = addEntry(MnuPop, u"设置默认背景图(&N)");
    mnuBar0_0 = MnuPop->addSeparator();
    mnuZDQH = addOption(MnuPop, u"自动切换(&Q)", Qt::CTRL | Qt::Key_Q, true);
    mnuFormDefSize = addEntry(MnuPop, u"默认大小(&D)");
    mnuBar0_1 = MnuPop->addSeparator();
    mnuKeepWidth = addOption(MnuPop, u"保持宽度(&K)", Qt::CTRL | Qt::Key_K, false);
    mnuLock = addOption(MnuPop, u"锁定文本框(&L)", Qt::CTRL | Qt::Key_L, false);

    mnuTxtOutPop = MnuPop->addMenu(QStringLiteral("输出文本框快捷菜单(&M)"));
    mnuUnDo = addEntry(mnuTxtOutPop, u"撤销(&U)", Qt::CTRL | Qt::Key_Z);
    mnuBar1_0 = mnuTxtOutPop->addSeparator();
    mnuCut = addEntry(mnuTxtOutPop, u"剪切(&T)");
    mnuCopy = addEntry(mnuTxtOutPop, u"复制(&C)");
    mnuPaste = addEntry(mnuTxtOutPop, u"粘贴(&P)");
    mnuDel = addEntry(mnuTxtOutPop, u"删除(&L)");
    mnuBar1_1 = mnuTxtOutPop->addSeparator();
    mnuSelAll = addEntry(mnuTxtOutPop, u"全选(&A)", Qt::CTRL | Qt::Key_A);

    mnuBar0_2 = MnuPop->addSeparator();
    mnuCLFS = MnuPop->addMenu(QStringLiteral("处理方式(&F)"));
    mnuFS[0] = addOption(mnuCLFS, u"最快！(&1)", Qt::Key_F1, false);
    mnuFS[1] = addOption(mnuCLFS, u"较快！(&2)", Qt::Key_F2, false);
    mnuFS[2] = addOption(mnuCLFS, u"较慢！(&3) K=", Qt::Key_F3, false);

    // The commands of the main tree answer their shortcut keys anywhere in the
    // window. Undo and select all belong to the output box and answer there only,
    // so the other text boxes keep their own Ctrl+Z and Ctrl+A.
    for (QAction* action : {mnuCopyText, mnuSave, mnuBgMap, mnuZDQH, mnuKeepWidth, mnuLock,
             mnuFS[0], mnuFS[1], mnuFS[2]}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    for (QAction* action : {mnuUnDo, mnuSelAll}) {
        action->setShortcutContext(Qt::WidgetShortcut);
        TxtOut->addAction(action);
    }

    connect(CmdMore, &QPushButton::clicked, this, &FrmTessarin::CmdMore_Click);
    connect(MnuPop, &QMenu::aboutToShow, this, &FrmTessarin::MnuPop_Click);
    connect(mnuTxtOutPop, &QMenu::aboutToShow, this, &FrmTessarin::mnuTxtOutPop_Click);
    connect(TxtOut, &OutputBox::MouseDown, this, &FrmTessarin::TxtOut_MouseDown);
    const std::pair<QAction*, void (FrmTessarin::*)()> commands[] = {
        {mnuCopyText, &FrmTessarin::mnuCopyText_Click},
        {mnuSave, &FrmTessarin::mnuSave_Click},
        {mnuBgMap, &FrmTessarin::mnuBgMap_Click},
        {mnuSetOldBgMap, &FrmTessarin::mnuSetOldBgMap_Click},
        {mnuZDQH, &FrmTessarin::mnuZDQH_Click},
        {mnuFormDefSize, &FrmTessarin::mnuFormDefSize_Click},
        {mnuKeepWidth, &FrmTessarin::mnuKeepWidth_Click},
        {mnuLock, &FrmTessarin::mnuLock_Click},
        {mnuUnDo, &FrmTessarin::mnuUnDo_Click},
        {mnuCut, &FrmTessarin::mnuCut_Click},
        {mnuCopy, &FrmTessarin::mnuCopy_Click},
        {mnuPaste, &FrmTessarin::mnuPaste_Click},
        {mnuDel, &FrmTessarin::mnuDel_Click},
        {mnuSelAll, &FrmTessarin::mnuSelAll_Click},
    };
    for (const auto& [action, handler] : commands)
        onChosen(action, this, [this, handler] { (this->*handler)(); });
    for (int i = 0; i < int(mnuFS.size()); ++i)
        onChosen(mnuFS[i], this, [this, i] { mnuFS_Click(i); });
}
