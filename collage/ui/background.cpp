#include "window/ui/frmtessarin.h"

#include "collage/defaultbackground.h"
#include "runtime/picturefile.h"
#include "runtime/services.h"
#include "window/ui/picturebox.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {

// The first local file a drag carries, or an empty text.
QString draggedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

// A file dragged anywhere over the window, the text boxes included (which would otherwise take
// its name as text), is offered to the window as its background picture.
class PictureDrops : public QObject
{
public:
    explicit PictureDrops(FrmTessarin* window)
        : QObject(window)
        , m_window(window)
    { }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (draggedFile(drag->mimeData()).isEmpty())
                break;
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString file = draggedFile(drop->mimeData());
            if (file.isEmpty())
                break;
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            m_window->SetBackgroundFile(file);
            return true;
        }
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    FrmTessarin* m_window;
};

} // namespace

// A cancelled dialog ends the command with everything as it was.
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
    SetBackgroundFile(fileName);
}

// A file that is no usable picture leaves the background, its path and the preview as they were,
// and one warning says why, so that a user whose picture another viewer shows can tell what went
// wrong.
void FrmTessarin::SetBackgroundFile(const QString& fileName)
{
    CDlgOpen.FileName = fileName;
    const Qt::CursorShape pointer = MousePointer();
    SetMousePointer(Qt::WaitCursor);
    PictureError error = PictureError::None;
    const std::optional<QImage> picture = LoadPicture(fileName, &error);
    SetMousePointer(pointer);
    if (!picture) {
        m_services.WarningBox(QStringLiteral("载入失败"),
            QStringLiteral("无法使用图片“%1”。\n%2")
                .arg(QDir::toNativeSeparators(fileName), PictureErrorChinese(error)));
        return;
    }
    Pic3->SetPicture(*picture);
    mBgMapFile = fileName;
    RenderPreview();
}

// The built-in tile stands by in Pic4, and a file dropped anywhere on the window goes to
// SetBackgroundFile.
void FrmTessarin::createBackgrounds()
{
    Pic4->SetPicture(DefaultBackground());
    setAcceptDrops(true);
    auto* drops = new PictureDrops(this);
    installEventFilter(drops);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(drops);
}

void FrmTessarin::mnuSetOldBgMap_Click()
{
    Pic3->SetPicture(Pic4->Picture());
    mBgMapFile.clear();
    RenderPreview();
}
