#include "window/frmtessarin.h"

#include "collage/previewimage.h"
#include "window/picturebox.h"
#include "window/textboxes.h"

// The preview is always redrawn whole: the background tiled from the top-left
// corner, then the source text over it.
void FrmTessarin::RenderPreview()
{
    DrawPreview(Pic2->hDC(), Pic3->Image(), Pic2->Font(), TxtSrc->Text());
    Pic2->Refresh();
}
