#include "window/ui/frmtessarin.h"

#include "window/ui/buttons.h"
#include "window/ui/textboxes.h"

#include <QMenu>
#include <QPushButton>
#include <functional>

namespace {

enum Mark { NoMark, Unchecked, Checked };

// Runs a handler when the entry is chosen. Qt flips a checkable entry's mark by
// itself before it reports the choice; the mark is put back first, so that the
// handler alone decides it, as it does when called from code.
void onChosen(QAction* action, FrmTessarin* window, std::function<void()> handler)
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
    mnuTxtOutPop = new QMenu(QStringLiteral("输出文本框快捷菜单(&M)"), MnuPop);
    mnuCLFS = new QMenu(QStringLiteral("处理方式(&F)"), MnuPop);

    using F = FrmTessarin;
    const auto run = [this](void (F::*handler)()) {
        return std::function<void()>([this, handler] { (this->*handler)(); });
    };
    const auto mode = [this](int index) {
        return std::function<void()>([this, index] { mnuFS_Click(index); });
    };
    // The whole tree in the order it shows: an entry, a separator ("-") or a submenu.
    struct Entry
    {
        QMenu* menu;
        QAction** action;
        const char16_t* caption;
        QKeySequence shortcut = {};
        Mark mark = NoMark;
        std::function<void()> handler = {};
        QMenu* submenu = nullptr;
    };
    const Entry entries[] = {
        {MnuPop, &mnuCopyText, u"复制文字(&T)", Qt::CTRL | Qt::Key_T, NoMark,
            run(&F::mnuCopyText_Click)},
        {MnuPop, &mnuSave, u"保存文本(&S)", Qt::CTRL | Qt::Key_S, NoMark, run(&F::mnuSave_Click)},
        {MnuPop, &mnuBgMap, u"选择背景图片(&B)", Qt::CTRL | Qt::Key_B, NoMark,
            run(&F::mnuBgMap_Click)},
        {MnuPop, &mnuSetOldBgMap, u"设置默认背景图(&N)", {}, NoMark, run(&F::mnuSetOldBgMap_Click)},
        {MnuPop, &mnuBar0_0, u"-"},
        {MnuPop, &mnuZDQH, u"自动切换(&Q)", Qt::CTRL | Qt::Key_Q, Checked, run(&F::mnuZDQH_Click)},
        {MnuPop, &mnuFormDefSize, u"默认大小(&D)", {}, NoMark, run(&F::mnuFormDefSize_Click)},
        {MnuPop, &mnuBar0_1, u"-"},
        {MnuPop, &mnuKeepWidth, u"保持宽度(&K)", Qt::CTRL | Qt::Key_K, Unchecked,
            run(&F::mnuKeepWidth_Click)},
        {MnuPop, &mnuLock, u"锁定文本框(&L)", Qt::CTRL | Qt::Key_L, Unchecked,
            run(&F::mnuLock_Click)},
        {MnuPop, nullptr, nullptr, {}, NoMark, {}, mnuTxtOutPop},
        {mnuTxtOutPop, &mnuUnDo, u"撤销(&U)", Qt::CTRL | Qt::Key_Z, NoMark, run(&F::mnuUnDo_Click)},
        {mnuTxtOutPop, &mnuBar1_0, u"-"},
        {mnuTxtOutPop, &mnuCut, u"剪切(&T)", {}, NoMark, run(&F::mnuCut_Click)},
        {mnuTxtOutPop, &mnuCopy, u"复制(&C)", {}, NoMark, run(&F::mnuCopy_Click)},
        {mnuTxtOutPop, &mnuPaste, u"粘贴(&P)", {}, NoMark, run(&F::mnuPaste_Click)},
        {mnuTxtOutPop, &mnuDel, u"删除(&L)", {}, NoMark, run(&F::mnuDel_Click)},
        {mnuTxtOutPop, &mnuBar1_1, u"-"},
        {mnuTxtOutPop, &mnuSelAll, u"全选(&A)", Qt::CTRL | Qt::Key_A, NoMark,
            run(&F::mnuSelAll_Click)},
        {MnuPop, &mnuBar0_2, u"-"},
        {MnuPop, nullptr, nullptr, {}, NoMark, {}, mnuCLFS},
        {mnuCLFS, &mnuFS[0], u"最快！(&1)", Qt::Key_F1, Unchecked, mode(0)},
        {mnuCLFS, &mnuFS[1], u"较快！(&2)", Qt::Key_F2, Unchecked, mode(1)},
        {mnuCLFS, &mnuFS[2], u"较慢！(&3) K=", Qt::Key_F3, Unchecked, mode(2)},
    };
    for (const Entry& entry : entries) {
        if (entry.submenu) {
            entry.menu->addMenu(entry.submenu);
            continue;
        }
        const QString caption = QString::fromUtf16(entry.caption);
        QAction* action
            = caption == u"-" ? entry.menu->addSeparator() : entry.menu->addAction(caption);
        *entry.action = action;
        action->setCheckable(entry.mark != NoMark);
        action->setChecked(entry.mark == Checked);
        if (entry.handler)
            onChosen(action, this, entry.handler);
        if (entry.shortcut.isEmpty())
            continue;
        action->setShortcut(entry.shortcut);
        // The shortcut keys of the main tree answer anywhere in the window. Those of the
        // output box's entries answer there only, so the other text boxes keep their own
        // Ctrl+Z and Ctrl+A.
        QWidget* owner = entry.menu == mnuTxtOutPop ? static_cast<QWidget*>(TxtOut) : this;
        action->setShortcutContext(owner == this ? Qt::WindowShortcut : Qt::WidgetShortcut);
        owner->addAction(action);
    }

    connect(CmdMore, &QPushButton::clicked, this, &FrmTessarin::CmdMore_Click);
    connect(MnuPop, &QMenu::aboutToShow, this, &FrmTessarin::MnuPop_Click);
    connect(mnuTxtOutPop, &QMenu::aboutToShow, this, &FrmTessarin::mnuTxtOutPop_Click);
    connect(TxtOut, &OutputBox::MouseDown, this, &FrmTessarin::TxtOut_MouseDown);
    connect(TxtOut, &OutputBox::MenuKey, this, &FrmTessarin::TxtOut_MenuKey);
}
