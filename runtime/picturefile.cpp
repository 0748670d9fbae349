#include "runtime/picturefile.h"

#include "runtime/jpegdecode.h"
#include "runtime/picturechecks.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QImage onWhite(QImage image)
{
    // Qt's GIF reader can leave the unused byte of RGB32 at zero, where Qt requires
    // 0xFF; conversions from other formats set it.
    if (image.format() == QImage::Format_RGB32) {
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                row[x] |= 0xFF000000;
        }
        return image;
    }
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage flat(image.size(), QImage::Format_RGB32);
    if (flat.isNull())
        return flat;
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
    }
    return flat;
}

} // namespace

QString PictureErrorChinese(PictureError error)
{
    switch (error) {
    case PictureError::None:
        return {};
    case PictureError::NoFile:
        return QStringLiteral("文件不存在。");
    case PictureError::Folder:
        return QStringLiteral("这是一个文件夹，不是图片文件。");
    case PictureError::NotRegularFile:
        return QStringLiteral("这不是普通文件（管道或设备），不能作为图片读取。");
    case PictureError::NoPermission:
        return QStringLiteral("没有读取权限。");
    case PictureError::Unreadable:
        return QStringLiteral("读取文件时出错。");
    case PictureError::FileTooLarge:
        return QStringLiteral("文件大于 %1 MiB 的上限。").arg(MaxPictureMegabytes);
    case PictureError::SideTooLarge:
        return QStringLiteral("图片的宽或高超过 %1 像素的上限。").arg(MaxPictureSide);
    case PictureError::PixelsTooLarge:
        return QStringLiteral("图片解码后超过 %1 MiB 的上限。").arg(MaxPictureMegabytes);
    case PictureError::TooMuchWork:
        return QStringLiteral("图片解码的工作量超过上限（算术编码的数据或扫描次数太多）。");
    case PictureError::NotAPicture:
        return QStringLiteral("不是图片文件，或是不支持的图片格式。");
    case PictureError::CutShort:
        return QStringLiteral("图片文件不完整（数据提前结束）。");
    case PictureError::Damaged:
        return QStringLiteral("图片文件已损坏，无法解码。");
    }
    return {};
}

QString PictureErrorEnglish(PictureError error)
{
    switch (error) {
    case PictureError::None:
        return {};
    case PictureError::NoFile:
        return QStringLiteral("no such file");
    case PictureError::Folder:
        return QStringLiteral("a folder, not a picture file");
    case PictureError::NotRegularFile:
        return QStringLiteral("not a regular file");
    case PictureError::NoPermission:
        return QStringLiteral("permission denied");
    case PictureError::Unreadable:
        return QStringLiteral("the file could not be read");
    case PictureError::FileTooLarge:
        return QStringLiteral("larger than the limit of %1 MiB").arg(MaxPictureMegabytes);
    case PictureError::SideTooLarge:
        return QStringLiteral("wider or taller than the limit of %1 pixels").arg(MaxPictureSide);
    case PictureError::PixelsTooLarge:
        return QStringLiteral("larger than the limit of %1 MiB decoded").arg(MaxPictureMegabytes);
    case PictureError::TooMuchWork:
        return QStringLiteral(
            "too costly to decode (too much arithmetic-coded data or too many scans for its size)");
    case PictureError::NotAPicture:
        return QStringLiteral("not a picture, or a kind of picture that cannot be read");
    case PictureError::CutShort:
        return QStringLiteral("cut short (its data ends early)");
    case PictureError::Damaged:
        return QStringLiteral("damaged (it could not be decoded)");
    }
    return {};
}

namespace {

std::optional<QImage> refused(PictureError* error, PictureError cause)
{
    if (error)
        *error = cause;
    return std::nullopt;
}

PictureError fromErrno(int code)
{
    switch (code) {
    case ENOENT:
    case ENOTDIR:
        return PictureError::NoFile;
    case EACCES:
    case EPERM:
        return PictureError::NoPermission;
    default:
        return PictureError::Unreadable;
    }
}

std::optional<QImage> finished(QImage image, PictureError* error)
{
    if (const PictureError tooLarge = PictureSizeError(image.size());
        tooLarge != PictureError::None)
        return refused(error, tooLarge);
    QImage picture = onWhite(std::move(image));
    if (picture.isNull())
        return refused(error, PictureError::PixelsTooLarge);
    if (error)
        *error = PictureError::None;
    return picture;
}

} // namespace

PictureError PictureSizeError(QSize size, int bytesPerPixel)
{
    if (size.width() > MaxPictureSide || size.height() > MaxPictureSide)
        return PictureError::SideTooLarge;
    if (qint64(size.width()) * size.height() * bytesPerPixel > MaxPictureBytes)
        return PictureError::PixelsTooLarge;
    return PictureError::None;
}

std::optional<QImage> LoadPicture(
    const QString& path, PictureError* error, const ScaledTarget& scaledTo)
{
    if (path.isEmpty())
        return refused(error, PictureError::NoFile);

    // Opening a pipe for reading waits for a writer, so the kind of file is looked at first; the
    // open itself does not wait, and the file opened must still be the regular file looked at.
    struct stat named;
    const QByteArray nativePath = QFile::encodeName(path);
    if (::stat(nativePath.constData(), &named) != 0)
        return refused(error, fromErrno(errno));
    if (S_ISDIR(named.st_mode))
        return refused(error, PictureError::Folder);
    if (!S_ISREG(named.st_mode))
        return refused(error, PictureError::NotRegularFile);
    if (named.st_size > MaxPictureBytes)
        return refused(error, PictureError::FileTooLarge);
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return refused(error, fromErrno(errno));
    QFile file;
    struct stat opened;
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refused(error, PictureError::NotRegularFile);
    }
    if (opened.st_size > MaxPictureBytes)
        return refused(error, PictureError::FileTooLarge);
    // Its size and one byte more, to see whether it grew meanwhile, then no further than the
    // bound. Asked for the bound at once, Qt would reserve twice as much memory, whatever the size.
    QByteArray bytes(opened.st_size + 1, Qt::Uninitialized);
    const qint64 got = file.read(bytes.data(), bytes.size());
    if (got == bytes.size())
        bytes += file.read(MaxPictureBytes + 1 - got);
    else
        bytes.truncate(std::max<qint64>(got, 0));
    if (got < 0 || file.error() != QFileDevice::NoError)
        return refused(error, PictureError::Unreadable);
    if (bytes.size() > MaxPictureBytes)
        return refused(error, PictureError::FileTooLarge);
    return LoadPictureData(bytes, error, scaledTo);
}

std::optional<QImage> LoadPictureData(
    const QByteArray& data, PictureError* error, const ScaledTarget& scaledTo)
{
    if (data.size() > MaxPictureBytes)
        return refused(error, PictureError::FileTooLarge);
    PictureError cause = PictureError::None;
    std::optional<QByteArray> bytes = DecodableBytes(data, cause);
    if (!bytes)
        return refused(error, cause);
    const QByteArray known = KnownPictureFormat(*bytes);
    // libjpeg directly: Qt's reader passes on only a picture's first warning, so a JPEG cut short
    // after another warning would go unnoticed; and the companion, which asks with scaledTo, is
    // spared finding and loading Qt's image plug-ins, a good part of a short run's time.
    if (known == "jpeg") {
        std::optional<QImage> image = DecodeJpeg(*bytes, scaledTo, cause);
        return image ? finished(std::move(*image), error) : refused(error, cause);
    }

    // Read from memory, so neither the name's extension nor an "@2x" in it has a say.
    QBuffer buffer(&*bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, known);
    reader.setAllocationLimit(MaxPictureMegabytes);
    reader.setAutoTransform(true);
    const QSize declared = reader.size();
    if (reader.format().isEmpty())
        return refused(error, PictureError::NotAPicture);
    // A reader may name no format, or one out of range.
    const QImage::Format format = reader.imageFormat();
    const int bytesPerPixel = format > QImage::Format_Invalid && format < QImage::NImageFormats
        ? std::max(4, QImage::toPixelFormat(format).bitsPerPixel() / 8)
        : 4;
    if (const PictureError tooLarge = PictureSizeError(declared, bytesPerPixel);
        declared.isValid() && tooLarge != PictureError::None)
        return refused(error, tooLarge);
    if (reader.format() == "xbm" && !XbmComplete(*bytes, declared))
        return refused(error, PictureError::CutShort);

    QImage image;
    if (!reader.read(&image) || image.isNull())
        return refused(error,
            reader.error() == QImageReader::UnsupportedFormatError ? PictureError::NotAPicture
                                                                   : PictureError::Damaged);
    return finished(std::move(image), error);
}
