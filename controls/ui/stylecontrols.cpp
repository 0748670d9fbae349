#include "window/ui/frmtessarin.h"

#include "controls/numberfields.h"
#include "runtime/numbertext.h"
#include "window/defaults.h"
#include "window/ui/buttons.h"
#include "window/ui/picturebox.h"
#include "window/ui/textboxes.h"

#include <cmath>

#include <QListWidget>

void FrmTessarin::applyStyle(CheckBox* box, void (QFont::*style)(bool))
{
    const bool on = box->Value() != 0;
    (Pic2->Font().*style)(on);
    RenderPreview();
    if (mChangeFont)
        copyPreviewFontToSource();
    AutoSwitchToPreview();
}

void FrmTessarin::ChkB_Click()
{
    applyStyle(ChkB, &QFont::setBold);
}
void FrmTessarin::ChkI_Click()
{
    applyStyle(ChkI, &QFont::setItalic);
}
void FrmTessarin::ChkU_Click()
{
    applyStyle(ChkU, &QFont::setUnderline);
}
void FrmTessarin::ChkD_Click()
{
    applyStyle(ChkD, &QFont::setStrikeOut);
}

// The font size reads the number at the start of the text, so "12abc" is 12;
// anything that does not come to at least one point is ignored.
void FrmTessarin::TxtHeight_Change()
{
    const std::optional<qint32> points = FontSizeFromText(TxtHeight->text());
    if (!points)
        return;
    Pic2->Font().setPointSize(*points);
    if (mChangeFont)
        copyPreviewFontToSource();
    RenderPreview();
    AutoSwitchToPreview();
}

// The picture sizes take only a text that is one number as a whole. A number out
// of range, or beyond what a whole number holds, leaves the size as it is, but
// still redraws and lays out.
void FrmTessarin::applyPictureSize(const QString& text, Qt::Orientation direction)
{
    if (!IsWholeTextNumber(text))
        return;
    if (const std::optional<qint32> pixels = PictureSize(LeadingNumber(text))) {
        if (direction == Qt::Horizontal)
            Pic2->SetInnerSize(*pixels, Pic2->ScaleHeight());
        else
            Pic2->SetInnerSize(Pic2->ScaleWidth(), *pixels);
    }
    RenderPreview();
    LayoutPreview();
    AutoSwitchToPreview();
}

void FrmTessarin::TxtMapWidth_Change()
{
    applyPictureSize(TxtMapWidth->text(), Qt::Horizontal);
}

void FrmTessarin::TxtMapHeight_Change()
{
    applyPictureSize(TxtMapHeight->text(), Qt::Vertical);
}

void FrmTessarin::TxtSrc_Change()
{
    RenderPreview();
    AutoSwitchToPreview();
}

// Up and Down step the field's number by one within its limits; setting the text
// applies it through the field's own change handling. The key itself still
// reaches the field.
void FrmTessarin::NumericKeyStep(TextBox* field, Qt::Key key, qint32 min, qint32 max)
{
    if (key != Qt::Key_Up && key != Qt::Key_Down)
        return;
    const double stepped = LeadingNumber(field->text()) + (key == Qt::Key_Up ? 1 : -1);
    // A number beyond what a whole number holds steps from the nearest one it can.
    constexpr double lowest = std::numeric_limits<qint32>::min();
    constexpr double highest = std::numeric_limits<qint32>::max();
    qint32 value = *ToWhole(
        std::isnan(stepped) ? 0 : std::clamp(stepped, lowest, highest), WholeType::Int32);
    if (key == Qt::Key_Up && value > max)
        value = max;
    if (key == Qt::Key_Down && value < min)
        value = min;
    field->setText(QString::number(value));
}

void FrmTessarin::TxtHeight_KeyDown(Qt::Key key)
{
    NumericKeyStep(TxtHeight, key, MinPoints, MaxPoints);
}

void FrmTessarin::TxtMapWidth_KeyDown(Qt::Key key)
{
    NumericKeyStep(TxtMapWidth, key, MinPreviewSide, MaxPreviewSide);
}

void FrmTessarin::TxtMapHeight_KeyDown(Qt::Key key)
{
    NumericKeyStep(TxtMapHeight, key, MinPreviewSide, MaxPreviewSide);
}
