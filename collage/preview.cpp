#include "window/frmtessarin.h"

#include "collage/tilebitmap.h"
#include "window/picturebox.h"
#include "window/vbwidgets.h"

// The preview is always redrawn whole: the background tiled from the top-left
// corner, then the source text over it.
void FrmTessarin::RenderPreview()
{
    ImageDC preview = Pic2->hDC();
    const int previewWidth = Pic2->ScaleWidth();
    const int previewHeight = Pic2->ScaleHeight();
    const ImageDC background = Pic3->hDC();
    const int backgroundWidth = Pic3->ScaleWidth();
    const int backgroundHeight = Pic3->ScaleHeight();

    TileBitmap(preview, 0, 0, previewWidth, previewHeight, background, 0, 0, backgroundWidth,
        backgroundHeight, SRCCOPY);

    Pic2->CurrentX = 0;
    Pic2->CurrentY = 0;
    Pic2->Print(TxtSrc->Text());
    Pic2->Refresh();
}
