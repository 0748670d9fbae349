#include "window/ui/frmtessarin.h"

#include "collage/previewimage.h"
#include "window/ui/picturebox.h"
#include "window/ui/textboxes.h"

#include <QFontMetrics>
#include <algorithm>

// The preview is always redrawn whole: the background tiled from the top-left
// corner, then the source text over it.
void FrmTessarin::RenderPreview()
{
    // Lines below the picture cannot show, so only those that can are taken from the box.
    QImage& picture = Pic2->hDC();
    const int lineHeight = std::max(1, QFontMetrics(Pic2->Font(), &picture).height());
    DrawPreview(picture, Pic3->Image(), Pic2->Font(),
        TxtSrc->FirstLines(picture.height() / lineHeight + 1));
    Pic2->Refresh();
}
