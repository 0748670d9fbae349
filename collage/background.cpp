#include "window/frmtessarin.h"

#include "runtime/picturefile.h"
#include "runtime/services.h"
#include "window/picturebox.h"

// A cancelled dialog or a file that is no usable picture ends the command silently,
// with the background, its path and the preview as they were.
void FrmTessarin::mnuBgMap_Click()
{
    if (!m_services.ShowOpen(CDlgOpen))
        return;
    const QString fileName = CDlgOpen.FileName;
    if (fileName.isEmpty()) {
        // No file is an empty picture: the holder keeps its size and shows its own
        // colour, and the next start falls back to the built-in background.
        Pic3->SetPicture(QImage());
        mBgMapFile.clear();
        RenderPreview();
        return;
    }
    const std::optional<QImage> picture = LoadPicture(fileName);
    if (!picture)
        return;
    Pic3->SetPicture(*picture);
    mBgMapFile = fileName;
    RenderPreview();
}

void FrmTessarin::mnuSetOldBgMap_Click()
{
    Pic3->SetPicture(Pic4->Picture());
    mBgMapFile.clear();
    RenderPreview();
}
