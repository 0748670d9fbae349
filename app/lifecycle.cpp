#include "window/frmtessarin.h"

#include "window/buttons.h"
#include "window/textboxes.h"

#include <QCloseEvent>
#include <QWindow>

void FrmTessarin::Form_Load()
{
    LoadSettings();

    TxtSrc->SetText(QStringLiteral("墨"));
    TxtView1->SetText(QStringLiteral("砾"));
    TxtView2->SetText(QStringLiteral("\u3000"));

    CDlgSave.DialogTitle = QStringLiteral("请选择保存的文件：");
    CDlgSave.Filter = QStringLiteral("文本文件(*.txt)|*.txt|所有文件(*.*)|*.*");
    CDlgSave.FilterIndex = 1;

    CDlgOpen.DialogTitle = QStringLiteral("请选择图片文件：");
    CDlgOpen.Filter
        = QStringLiteral("图片文件(*.bmp;*.jpg;*.gif;*.ico;*.cur)|*.bmp;*.jpg;*.gif;*.ico;*.cur|"
                         "Windows位图(*.bmp)|*.bmp|Jpeg文件(*.jpg)|*.jpg|GIF文件(*.gif)|*.gif|"
                         "图标文件(*.ico)|*.ico|光标文件(*.cur)|*.cur|*.*");
    CDlgOpen.FilterIndex = 1;

    LblFontName_DblClick();
    RenderPreview();
}

void FrmTessarin::Form_Unload()
{
    SaveSettings();
}

void FrmTessarin::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

// The stored bounds are the outer ones, but the frame a window manager adds is
// known only some time after the window is shown; the size is made good as soon
// as it is.
bool FrmTessarin::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    const QEvent::Type type = event->type();
    if (m_restoredFrame.isValid() && isVisible()
        && (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show)
        && frameMarginsOf() != QMargins()) {
        const QRect wanted = m_restoredFrame;
        m_restoredFrame = QRect();
        if (windowState() == Qt::WindowNoState)
            resize(wanted.marginsRemoved(frameMarginsOf()).size());
    }
    return handled;
}

QMargins FrmTessarin::frameMarginsOf() const
{
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
        outer.right() - inner.right(), outer.bottom() - inner.bottom());
}
