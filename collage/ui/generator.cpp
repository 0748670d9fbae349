#include "window/ui/frmtessarin.h"

#include "collage/collagetext.h"
#include "runtime/services.h"
#include "window/ui/buttons.h"
#include "window/ui/picturebox.h"
#include "window/ui/textboxes.h"

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
    options.mode = mProcessMode;
    options.k = mKValue;

    const QImage& picture = Pic2->Image();
    if (!CollageFits(picture, options)) {
        // Saying nothing would leave the old text standing as if it were the result.
        m_services.WarningBox(QStringLiteral("生成失败"),
            QStringLiteral(
                "字符画太大：%1 × %2 个像素，每个像素最多 %3 个字符，超过了 %4 个字符的上限。"
                "请缩短显示字符或空格字符，或缩小图片。")
                .arg(picture.width())
                .arg(picture.height())
                .arg(std::max(options.display.size(), options.space.size()))
                .arg(MaxCollageLength));
        return;
    }

    SetMousePointer(Qt::WaitCursor);
    setWindowTitle(Title + QStringLiteral(" 处理中……"));

    TxtOut->SetText(CollageText(picture, options));

    setWindowTitle(Title);
    SetMousePointer(Qt::ArrowCursor);

    if (mnuZDQH->isChecked())
        Lbl2_Click();
    // Under the preview the box would take keys the user cannot see it take.
    if (mShowOutput)
        TxtOut->setFocus();
}
