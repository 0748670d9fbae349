#include "window/frmtessarin.h"

#include "collage/collagetext.h"
#include "window/picturebox.h"
#include "window/vbwidgets.h"

#include <QAction>
#include <QPlainTextEdit>

// Samples the preview exactly as it stands: every control that changes the
// drawing has already redrawn it.
void FrmTessarin::CmdConv_Click()
{
    CollageOptions options;
    options.trim = ChkDelRight->Value() != 0;
    options.display = TxtView1->Text();
    options.space = TxtView2->Text();
    options.keepWidth = mnuKeepWidth->isChecked();
    options.mode = ProcessMode(mProcessMode);
    options.k = mKValue;

    SetMousePointer(MousePointerHourglass);
    setWindowTitle(Title + QStringLiteral(" 处理中……"));

    TxtOut->setPlainText(CollageText(Pic2->Image(), options));

    setWindowTitle(Title);
    SetMousePointer(MousePointerDefault);

    if (mnuZDQH->isChecked())
        Lbl2_Click();
    TxtOut->setFocus();
}
