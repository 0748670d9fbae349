#include "window/ui/frmtessarin.h"

#include "window/defaults.h"
#include "window/ui/buttons.h"
#include "window/ui/textboxes.h"

#include <QCloseEvent>

void FrmTessarin::Form_Load()
{
    LoadSettings();

    TxtSrc->SetText(StartSource);
    TxtView1->SetText(StartDisplay);
    TxtView2->SetText(StartSpace);

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
