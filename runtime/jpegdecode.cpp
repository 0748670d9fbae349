#include "runtime/jpegdecode.h"

#include <QImageIOHandler>
#include <QTransform>
#include <QtEndian>
#include <QtMath>
#include <csetjmp>
#include <cstdio> // before jpeglib.h, which uses FILE

#include <jerror.h>
#include <jpeglib.h>

namespace {

struct ErrorManager
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    bool endedEarly = false;
};

void failed(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// The data ending early (before the end marker, or at one put after a cut) is only a warning to
// libjpeg; every other message is of no use to the user.
void message(j_common_ptr info, int level)
{
    const int code = info->err->msg_code;
    if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER))
        reinterpret_cast<ErrorManager*>(info->err)->endedEarly = true;
}

class Decoder
{
public:
    Decoder()
    {
        info.err = jpeg_std_error(&errors.pub);
        errors.pub.error_exit = failed;
        errors.pub.emit_message = message;
        jpeg_create_decompress(&info);
    }
    ~Decoder() { jpeg_destroy_decompress(&info); }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // Between setjmp and a jump back to it only libjpeg runs, so no destructor is skipped.
    bool readHeader(const QByteArray& bytes)
    {
        if (setjmp(errors.jump))
            return false;
        jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
            static_cast<unsigned long>(bytes.size()));
        jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF); // the orientation tag's Exif block
        return jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK;
    }

    bool setScale(int eighths)
    {
        if (setjmp(errors.jump))
            return false;
        info.scale_num = unsigned(eighths);
        info.scale_denom = 8;
        jpeg_calc_output_dimensions(&info);
        return true;
    }

    bool readPixels(uchar* bits, qsizetype bytesPerLine)
    {
        if (setjmp(errors.jump))
            return false;
        jpeg_start_decompress(&info);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = bits + bytesPerLine * info.output_scanline;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        return true;
    }

    jpeg_decompress_struct info {};
    ErrorManager errors {};
};

// The orientation tag of the Exif blocks, read as Qt's reader reads it: 1 to 8, or 0.
int exifOrientation(QByteArrayView exif)
{
    constexpr qsizetype Start = 6; // after "Exif\0\0"
    if (!exif.startsWith(QByteArrayView("Exif\0\0", 6)) || exif.size() < Start + 8)
        return 0;
    const bool intel = exif.sliced(Start, 2) == "II";
    if (!intel && exif.sliced(Start, 2) != "MM")
        return 0;
    qsizetype pos = Start + 2;
    const auto read = [&](int bytes) -> std::optional<quint32> {
        if (exif.size() - pos < bytes)
            return std::nullopt;
        const char* at = exif.data() + pos;
        pos += bytes;
        if (bytes == 2)
            return intel ? qFromLittleEndian<quint16>(at) : qFromBigEndian<quint16>(at);
        return intel ? qFromLittleEndian<quint32>(at) : qFromBigEndian<quint32>(at);
    };
    if (read(2) != 0x2Au)
        return 0;
    std::optional<quint32> offset = read(4);
    // At most ten directories, each after the one before.
    for (int directory = 0; directory < 10 && offset; ++directory) {
        if (qint64(*offset) + Start < pos || qint64(*offset) + Start >= exif.size())
            return 0;
        pos = *offset + Start;
        const quint32 entries = read(2).value_or(0);
        for (quint32 e = 0; e < entries; ++e) {
            const auto tag = read(2), type = read(2), count = read(4), value = read(2);
            if (!read(2))
                return 0;
            if (tag == 0x0112u)
                return count == 1u && type == 3u && *value >= 1 && *value <= 8 ? int(*value) : 0;
        }
        offset = read(4);
        if (offset == 0u)
            return 0;
    }
    return 0;
}

// The turns and mirrorings of Exif's orientations 1 to 8.
QImageIOHandler::Transformations transformationOf(int orientation)
{
    using T = QImageIOHandler;
    static constexpr T::Transformation Table[] = {T::TransformationNone, T::TransformationNone,
        T::TransformationMirror, T::TransformationRotate180, T::TransformationFlip,
        T::TransformationFlipAndRotate90, T::TransformationRotate90,
        T::TransformationMirrorAndRotate90, T::TransformationRotate270};
    return Table[orientation];
}

QImage transformed(QImage image, QImageIOHandler::Transformations turn)
{
    if (turn == QImageIOHandler::TransformationRotate270)
        return image.transformed(QTransform().rotate(270));
    image = std::move(image).mirrored(
        turn & QImageIOHandler::TransformationMirror, turn & QImageIOHandler::TransformationFlip);
    if (turn & QImageIOHandler::TransformationRotate90)
        image = image.transformed(QTransform().rotate(90));
    return image;
}

// Four bytes C, M, Y, K a pixel, inverted as Adobe writes them, to RGB32 in place, as Qt's
// reader converts them.
void cmykToRgb(QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        uchar* in = image.scanLine(y);
        auto* out = reinterpret_cast<QRgb*>(in);
        for (int x = 0; x < image.width(); ++x, in += 4) {
            const int k = in[3];
            out[x] = qRgb(k * in[0] / 255, k * in[1] / 255, k * in[2] / 255);
        }
    }
}

} // namespace

std::optional<QImage> DecodeJpeg(
    const QByteArray& bytes, const ScaledTarget& scaledTo, PictureError& error)
{
    error = PictureError::Damaged;
    Decoder decoder;
    jpeg_decompress_struct& info = decoder.info;
    if (!decoder.readHeader(bytes))
        return std::nullopt;
    // As Qt's reader: one, three or four components (the last CMYK, or YCCK made CMYK).
    const bool grey = info.out_color_space == JCS_GRAYSCALE;
    const bool cmyk = info.out_color_space == JCS_CMYK;
    if (!grey && !cmyk && info.out_color_space != JCS_RGB)
        return std::nullopt;
    const QSize declared(int(info.image_width), int(info.image_height));
    if (const PictureError tooLarge = PictureSizeError(declared); tooLarge != PictureError::None) {
        error = tooLarge;
        return std::nullopt;
    }

    QByteArray exif;
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next)
        exif.append(reinterpret_cast<const char*>(marker->data), marker->data_length);
    const QImageIOHandler::Transformations turn = transformationOf(exifOrientation(exif));

    // As Qt's reader: the smallest eighths that keep both sides at least the target's, then a
    // smooth scaling the rest of the way.
    QSize target;
    if (scaledTo) {
        const bool turned = turn & QImageIOHandler::TransformationRotate90;
        target = scaledTo(turned ? declared.transposed() : declared);
        if (turned)
            target.transpose();
        if (target.isEmpty() || target.width() >= declared.width()
            || target.height() >= declared.height())
            target = QSize();
    }
    int eighths = 8;
    if (target.isValid())
        eighths = qBound(1,
            qCeil(8
                / qMin(double(declared.width()) / target.width(),
                    double(declared.height()) / target.height())),
            8);
    if (!grey && !cmyk)
        info.out_color_space = JCS_EXT_BGRA; // BGRA in memory is RGB32
    if (!decoder.setScale(eighths))
        return std::nullopt;
    QImage image(int(info.output_width), int(info.output_height),
        grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    if (image.isNull()) {
        error = PictureError::PixelsTooLarge;
        return std::nullopt;
    }
    const bool read = decoder.readPixels(image.bits(), image.bytesPerLine());
    if (decoder.errors.endedEarly) {
        error = PictureError::CutShort;
        return std::nullopt;
    }
    if (!read)
        return std::nullopt;
    if (cmyk)
        cmykToRgb(image);
    if (target.isValid() && target != image.size())
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    error = PictureError::None;
    return transformed(std::move(image), turn);
}
