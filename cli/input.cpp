#include "cli/input.h"

#include "cli/options.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <unistd.h>

namespace {

bool openInput(QFile& file, const QString& path, QString& reason)
{
    const bool folder = path != StandardStream && QFileInfo(path).isDir();
    // Read straight into the caller's buffer, not through a device buffer as well.
    constexpr QIODevice::OpenMode mode = QIODevice::ReadOnly | QIODevice::Unbuffered;
    if (path == StandardStream ? file.open(STDIN_FILENO, mode)
                               : !folder && (file.setFileName(path), file.open(mode)))
        return true;
    reason = folder ? QStringLiteral("a folder") : file.errorString();
    return false;
}

} // namespace

Input ReadCapped(const QString& path, qint64 cap)
{
    Input input;
    QFile file;
    if (!openInput(file, path, input.reason))
        return input;
    QByteArray bytes;
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            const qsizetype room
                = std::min<qsizetype>(cap + 1, std::max<qsizetype>(filled * 2, 1 << 20));
            bytes.reserve(room);
            bytes.resize(room);
        }
        const qint64 got = file.read(bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            input.reason = file.errorString();
            return input;
        }
        if (got == 0)
            break;
        filled += got;
        if (filled > cap) {
            input.tooLarge = true;
            return input;
        }
    }
    bytes.truncate(filled);
    input.bytes = bytes;
    return input;
}
