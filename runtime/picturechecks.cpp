#include "runtime/picturechecks.h"

#include <QList>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace {

// The most progressive scans a JPEG may have. Encoders write ten or fewer; every scan is another
// pass over all the picture's coefficients, about 80 ms at 8192 x 8192.
constexpr int MaxJpegScans = 40;

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
    // Not this check's to refuse: the size check, or Qt, says what is wrong with such a header.
    if (width < 0 || width > MaxPictureSide || height > MaxPictureSide || bitCount > 32)
        return true;

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

// The costs that MaxDecodeCost adds up.
constexpr qint64 HuffmanByteCost = 4;
constexpr qint64 ArithmeticByteCost = 150;
constexpr qint64 ScanBlockCost = 50;
constexpr qint64 PixelBlockCost = 500;

struct JpegComponent
{
    quint8 id = 0;
    qint64 blocks = 0;
};

// The 8 x 8 blocks of each component of a frame header's payload, or none for a header that
// makes no sense.
QList<JpegComponent> jpegComponents(QByteArrayView frame)
{
    if (frame.size() < 6)
        return {};
    const qint64 height = qFromBigEndian<quint16>(frame.data() + 1);
    const qint64 width = qFromBigEndian<quint16>(frame.data() + 3);
    const int count = byteAt(frame, 5);
    if (frame.size() < 6 + 3 * count)
        return {};
    int hMax = 1;
    int vMax = 1;
    for (int c = 0; c < count; ++c) {
        hMax = std::max(hMax, byteAt(frame, 7 + 3 * c) >> 4);
        vMax = std::max(vMax, byteAt(frame, 7 + 3 * c) & 15);
    }
    QList<JpegComponent> components;
    for (int c = 0; c < count; ++c) {
        const int h = std::max(1, byteAt(frame, 7 + 3 * c) >> 4);
        const int v = std::max(1, byteAt(frame, 7 + 3 * c) & 15);
        const qint64 columns = (width * h + hMax - 1) / hMax;
        const qint64 rows = (height * v + vMax - 1) / vMax;
        components.append({byteAt(frame, 6 + 3 * c), ((columns + 7) / 8) * ((rows + 7) / 8)});
    }
    return components;
}

// libjpeg fills a JPEG that ends early with grey and only warns, so the chain of markers must
// reach the end-of-image marker. Its cost is bounded as well as its size (see MaxDecodeCost).
PictureError jpegCheck(QByteArrayView bytes)
{
    const qsizetype size = bytes.size();
    qsizetype pos = 2; // after the start-of-image marker
    int scans = 0;
    qint64 work = 0;
    qint64 byteCost = HuffmanByteCost;
    QList<JpegComponent> components;
    while (true) {
        // Entropy-coded data, or stray bytes that libjpeg skips as well.
        const qsizetype dataStart = pos;
        const void* nextFF = std::memchr(bytes.data() + pos, 0xFF, size_t(size - pos));
        pos = nextFF ? static_cast<const char*>(nextFF) - bytes.data() : size;
        work += (pos - dataStart) * byteCost;
        while (pos < size && byteAt(bytes, pos) == 0xFF)
            ++pos;
        if (pos >= size)
            return PictureError::CutShort;
        const quint8 marker = byteAt(bytes, pos++);
        if (marker == 0xD9) {
            for (const JpegComponent& component : components)
                work += PixelBlockCost * component.blocks;
            return work > MaxDecodeCost ? PictureError::TooMuchWork : PictureError::None;
        }
        // A stuffed zero or restart marker inside coded data, or a marker without a length.
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue;
        if (size - pos < 2)
            return PictureError::CutShort;
        const qsizetype length = qFromBigEndian<quint16>(bytes.data() + pos);
        if (length < 2 || size - pos < length)
            return PictureError::CutShort;
        const QByteArrayView payload = bytes.sliced(pos + 2, length - 2);
        pos += length;
        // The frame headers: every marker from C0 to CF but the tables (C4, CC) and C8.
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8
            && marker != 0xCC) {
            components = jpegComponents(payload);
            byteCost = marker >= 0xC9 ? ArithmeticByteCost : HuffmanByteCost;
        }
        if (marker == 0xDA) {
            if (++scans > MaxJpegScans)
                return PictureError::TooMuchWork;
            const int count = payload.isEmpty() ? 0 : byteAt(payload, 0);
            for (int c = 0; c < count && 1 + 2 * c < payload.size(); ++c)
                for (const JpegComponent& component : components)
                    if (component.id == byteAt(payload, 1 + 2 * c))
                        work += ScanBlockCost * component.blocks;
            if (work > MaxDecodeCost)
                return PictureError::TooMuchWork;
        }
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

} // namespace

// Qt's reader fills the rows that the values do not reach with white, so there must be a
// value for every byte of every row.
bool XbmComplete(QByteArrayView bytes, QSize size)
{
    return QByteArray::fromRawData(bytes.data(), bytes.size()).count("0x")
        >= qint64(size.width() + 7) / 8 * size.height();
}

namespace {

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

// 1 for an icon file's header, 2 for a cursor file's, else 0.
int iconType(QByteArrayView bytes)
{
    if (bytes.size() < 6 || le16(bytes, 0) != 0)
        return 0;
    const int type = le16(bytes, 2);
    return type == 1 || type == 2 ? type : 0;
}

// Of an icon or cursor file Qt reads the first picture; when that is a PNG, it is read like one.
std::optional<QByteArrayView> iconPng(QByteArrayView bytes)
{
    constexpr qsizetype DirectoryEnd = 6 + 16;
    if (bytes.size() < DirectoryEnd || iconType(bytes) == 0 || le16(bytes, 4) == 0)
        return std::nullopt;
    const qint64 length = le32(bytes, 6 + 8);
    const qint64 offset = le32(bytes, 6 + 12);
    if (offset > bytes.size() || !bytes.sliced(offset).startsWith(PngSignature))
        return std::nullopt;
    return bytes.sliced(offset, std::min(length, bytes.size() - offset));
}

} // namespace

// The bytes to give the decoder: those of a picture that passes the checks above, without what
// the pixels do not need; nullopt, with the reason, when the picture is cut short or too costly.
std::optional<QByteArray> DecodableBytes(const QByteArray& bytes, PictureError& error)
{
    error = PictureError::CutShort;
    if (bytes.startsWith(PngSignature)) {
        // Most files have nothing to leave out; those are not held twice while they decode.
        const std::optional<QByteArray> kept = pngPixelChunks(bytes);
        return kept && kept->size() == bytes.size() ? std::optional(bytes) : kept;
    }
    if (const std::optional<QByteArrayView> png = iconPng(bytes))
        return pngPixelChunks(*png);
    if (bytes.startsWith("BM"))
        return bitmapComplete(bytes) ? std::optional(bytes) : std::nullopt;
    // libjpeg, like Qt's reader, needs only the start-of-image marker, and skips stray bytes after
    // it.
    if (bytes.startsWith("\xFF\xD8")) {
        error = jpegCheck(bytes);
        return error == PictureError::None ? std::optional(bytes) : std::nullopt;
    }
    if (bytes.startsWith("GIF8"))
        return gifComplete(bytes) ? std::optional(bytes) : std::nullopt;
    // The other readers fail by themselves on a file that ends early, except the bitmap text one.
    return bytes;
}

// The format of the commonest pictures from their first bytes. Told the format, the reader loads
// only its plug-in, instead of every installed one to ask each whether it can read the bytes.
QByteArray KnownPictureFormat(QByteArrayView bytes)
{
    if (bytes.startsWith(PngSignature))
        return "png";
    if (bytes.startsWith("\xFF\xD8"))
        return "jpeg";
    if (bytes.startsWith("GIF8"))
        return "gif";
    if (bytes.startsWith("BM"))
        return "bmp";
    // Qt's reader tells icons and cursors only by their file names, which these bytes do not have.
    if (const int type = iconType(bytes))
        return type == 1 ? "ico" : "cur";
    return {};
}
