#include "runtime/picturefile.h"

#include <QBuffer>
#include <QByteArrayView>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 MaxBytes = qint64(MaxPictureMegabytes) * 1024 * 1024;

// The most progressive scans a JPEG may have. Encoders write ten or fewer; every scan is another
// pass over all the picture's coefficients, about 80 ms at 8192 x 8192.
constexpr int MaxJpegScans = 40;

// bytesPerPixel as the decoder holds the picture: 4, or 8 for 16 bits a channel.
bool withinBounds(QSize size, int bytesPerPixel = 4)
{
    return size.width() <= MaxPictureSide && size.height() <= MaxPictureSide
        && qint64(size.width()) * size.height() * bytesPerPixel <= MaxBytes;
}

quint8 byteAt(QByteArrayView bytes, qsizetype at)
{
    return quint8(bytes[at]);
}

quint16 le16(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.data() + at);
}

quint32 le32(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.data() + at);
}

quint32 be32(QByteArrayView bytes, qsizetype at)
{
    return qFromBigEndian<quint32>(bytes.data() + at);
}

// Qt decodes a bitmap that ends early and leaves the missing rows undefined, so a
// bitmap must hold every row its header promises.
bool bitmapComplete(QByteArrayView bytes)
{
    constexpr qsizetype CoreHeaderEnd = 14 + 12;
    constexpr qsizetype InfoHeaderEnd = 14 + 40;
    if (bytes.size() < CoreHeaderEnd)
        return false;
    const qint64 pixelsStart = le32(bytes, 10);
    qint64 width = 0;
    qint64 height = 0;
    quint32 bitCount = 0;
    quint32 compression = 0;
    qint64 compressedSize = 0;
    if (le32(bytes, 14) == 12) {
        width = le16(bytes, 18);
        height = le16(bytes, 20);
        bitCount = le16(bytes, 24);
    } else {
        if (bytes.size() < InfoHeaderEnd)
            return false;
        width = qint32(le32(bytes, 18));
        height = std::abs(qint64(qint32(le32(bytes, 22)))); // negative: stored top down
        bitCount = le16(bytes, 28);
        compression = le32(bytes, 30);
        compressedSize = le32(bytes, 34);
    }
    if (width < 0 || width > MaxPictureSide || height > MaxPictureSide || bitCount > 32)
        return false;

    enum { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };
    switch (compression) {
    case Rgb:
    case BitFields:
    case AlphaBitFields: {
        const qint64 rowBytes = (width * bitCount + 31) / 32 * 4;
        return pixelsStart + rowBytes * height <= bytes.size();
    }
    case Rle8:
    case Rle4:
        // Run-length data has no size of its own; the header's count is all there is.
        return pixelsStart + compressedSize <= bytes.size();
    default:
        return true;
    }
}

// libjpeg fills a JPEG that ends early with grey and only warns, so the chain of
// markers must reach the end-of-image marker. Nor may it hold more scans than a sane
// progressive picture has.
bool jpegComplete(QByteArrayView bytes)
{
    const qsizetype size = bytes.size();
    qsizetype pos = 2; // after the start-of-image marker
    int scans = 0;
    while (true) {
        // Entropy-coded data, or stray bytes that libjpeg skips as well.
        while (pos < size && byteAt(bytes, pos) != 0xFF)
            ++pos;
        while (pos < size && byteAt(bytes, pos) == 0xFF)
            ++pos;
        if (pos >= size)
            return false;
        const quint8 marker = byteAt(bytes, pos++);
        if (marker == 0xD9)
            return true;
        if (marker == 0xDA && ++scans > MaxJpegScans)
            return false;
        // A stuffed zero or restart marker inside coded data, or a marker without a length.
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue;
        if (size - pos < 2)
            return false;
        const qsizetype length = qFromBigEndian<quint16>(bytes.data() + pos);
        if (length < 2 || size - pos < length)
            return false;
        pos += length;
    }
}

// Qt keeps the rows of a GIF frame whose data ends early, so the first frame's data
// must run up to its closing empty block.
bool gifComplete(QByteArrayView bytes)
{
    constexpr qsizetype ScreenEnd = 13;
    const qsizetype size = bytes.size();
    if (size < ScreenEnd)
        return false;
    const auto colourTableBytes = [](quint8 flags) -> qsizetype {
        return (flags & 0x80) ? 3 * (qsizetype(2) << (flags & 7)) : 0;
    };
    qsizetype pos = ScreenEnd + colourTableBytes(byteAt(bytes, 10));
    const auto skipSubBlocks = [&] {
        while (pos < size) {
            const quint8 length = byteAt(bytes, pos++);
            if (length == 0)
                return true;
            pos += length;
        }
        return false;
    };
    while (pos < size) {
        const quint8 introducer = byteAt(bytes, pos++);
        if (introducer == 0x21) {
            ++pos; // the extension's label
            if (!skipSubBlocks())
                return false;
        } else if (introducer == 0x2C) {
            constexpr qsizetype DescriptorBytes = 9;
            if (size - pos < DescriptorBytes)
                return false;
            const quint8 flags = byteAt(bytes, pos + DescriptorBytes - 1);
            pos += DescriptorBytes + colourTableBytes(flags) + 1; // + the LZW code size
            return skipSubBlocks();
        } else {
            return false; // the trailer before any frame, or no block at all
        }
    }
    return false;
}

// Qt's reader fills the rows that the values do not reach with white, so there must be a
// value for every byte of every row.
bool xbmComplete(QByteArrayView bytes, QSize size)
{
    return QByteArray::fromRawData(bytes.data(), bytes.size()).count("0x")
        >= qint64(size.width() + 7) / 8 * size.height();
}

constexpr QByteArrayView PngSignature("\x89PNG\r\n\x1A\n");

quint32 pngCrc(QByteArrayView bytes)
{
    static constexpr auto Table = [] {
        std::array<quint32, 256> table {};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        return table;
    }();
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes)
        crc = Table[(crc ^ quint8(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

// The chunks the pixels come from: the critical ones and the transparency. libpng inflates
// compressed text and colour profiles whole before the first pixel, however large they grow, and
// Qt keeps the text; the pixels need none of it. nullopt unless the chunks run whole and unbroken
// from the header to the end chunk, so libpng finds nothing to complain about on its own.
std::optional<QByteArray> pngPixelChunks(QByteArrayView bytes)
{
    constexpr qsizetype Framing = 12; // length, type and checksum
    QByteArray kept(PngSignature.data(), PngSignature.size());
    qsizetype pos = PngSignature.size();
    while (bytes.size() - pos >= Framing) {
        const quint32 length = be32(bytes, pos);
        if (length > 0x7FFFFFFFu || bytes.size() - pos - Framing < qsizetype(length))
            return std::nullopt;
        const QByteArrayView chunk = bytes.sliced(pos, Framing + length);
        const QByteArrayView type = chunk.sliced(4, 4);
        pos += chunk.size();
        if ((kept.size() == PngSignature.size()) != (type == "IHDR"))
            return std::nullopt;
        const bool critical = !(type[0] & 0x20);
        if (!critical && type != "tRNS")
            continue;
        if (be32(chunk, chunk.size() - 4) != pngCrc(chunk.sliced(4, 4 + length)))
            return std::nullopt;
        kept.append(chunk);
        if (type == "IEND")
            return kept;
    }
    return std::nullopt;
}

// Of an icon or cursor file Qt reads the first picture; when that is a PNG, it is read like one.
std::optional<QByteArrayView> iconPng(QByteArrayView bytes)
{
    constexpr qsizetype DirectoryEnd = 6 + 16;
    if (bytes.size() < DirectoryEnd || le16(bytes, 0) != 0 || le16(bytes, 4) == 0
        || (le16(bytes, 2) != 1 && le16(bytes, 2) != 2))
        return std::nullopt;
    const qint64 length = le32(bytes, 6 + 8);
    const qint64 offset = le32(bytes, 6 + 12);
    if (offset > bytes.size() || !bytes.sliced(offset).startsWith(PngSignature))
        return std::nullopt;
    return bytes.sliced(offset, std::min(length, bytes.size() - offset));
}

// The bytes to give the decoder: those of a picture that passes the checks above, without what
// the pixels do not need; nullopt when the picture is cut short or too costly.
std::optional<QByteArray> decodable(const QByteArray& bytes)
{
    if (bytes.startsWith(PngSignature)) {
        // Most files have nothing to leave out; those are not held twice while they decode.
        const std::optional<QByteArray> kept = pngPixelChunks(bytes);
        return kept && kept->size() == bytes.size() ? std::optional(bytes) : kept;
    }
    if (const std::optional<QByteArrayView> png = iconPng(bytes))
        return pngPixelChunks(*png);
    if (bytes.startsWith("BM"))
        return bitmapComplete(bytes) ? std::optional(bytes) : std::nullopt;
    if (bytes.startsWith("\xFF\xD8\xFF"))
        return jpegComplete(bytes) ? std::optional(bytes) : std::nullopt;
    if (bytes.startsWith("GIF8"))
        return gifComplete(bytes) ? std::optional(bytes) : std::nullopt;
    // The other readers fail by themselves on a file that ends early, except the bitmap text one.
    return bytes;
}

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

std::optional<QImage> LoadPicture(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;

    // Opening a pipe for reading waits for a writer, so the kind of file is looked at first; the
    // open itself does not wait, and the file opened must still be the regular file looked at.
    struct stat named;
    const QByteArray nativePath = QFile::encodeName(path);
    if (::stat(nativePath.constData(), &named) != 0 || !S_ISREG(named.st_mode)
        || named.st_size > MaxBytes)
        return std::nullopt;
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    QFile file;
    struct stat opened;
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_size > MaxBytes
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    // Read no further than the bound, in case the file grows while it is read.
    const QByteArray bytes = file.read(MaxBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > MaxBytes)
        return std::nullopt;
    return LoadPictureData(bytes);
}

std::optional<QImage> LoadPictureData(const QByteArray& data)
{
    if (data.size() > MaxBytes)
        return std::nullopt;
    std::optional<QByteArray> bytes = decodable(data);
    if (!bytes)
        return std::nullopt;

    // Read from memory, so neither the name's extension nor an "@2x" in it has a say.
    QBuffer buffer(&*bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(MaxPictureMegabytes);
    reader.setAutoTransform(true);
    const QSize declared = reader.size();
    // A reader may name no format, or one out of range.
    const QImage::Format format = reader.imageFormat();
    const int bytesPerPixel = format > QImage::Format_Invalid && format < QImage::NImageFormats
        ? std::max(4, QImage::toPixelFormat(format).bitsPerPixel() / 8)
        : 4;
    if (declared.isValid() && !withinBounds(declared, bytesPerPixel))
        return std::nullopt;
    if (reader.format() == "xbm" && !xbmComplete(*bytes, declared))
        return std::nullopt;

    QImage image;
    if (!reader.read(&image) || image.isNull() || !withinBounds(image.size()))
        return std::nullopt;
    QImage picture = onWhite(std::move(image));
    if (picture.isNull())
        return std::nullopt;
    return picture;
}
