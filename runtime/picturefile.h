#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <optional>

// The largest picture accepted: per side, and in bytes as the decoder holds it, 4 bytes a
// pixel or 8 for a picture with 16 bits a channel (the same bound caps the file's size). A
// picture beyond them fails like a broken one, before its pixels are allocated.
constexpr int MaxPictureSide = 16384;
constexpr int MaxPictureMegabytes = 256;
constexpr qint64 MaxPictureBytes = qint64(MaxPictureMegabytes) << 20;

// The most work a JPEG may cost to decode, in units of about a nanosecond of libjpeg's time on a
// 2-core machine of 2026: 4 a byte of Huffman-coded data, 150 a byte of arithmetic-coded data (the
// slowest part by far), 50 a block of 8 x 8 samples for every scan that codes it, and 500 a
// block to make its pixels. Every accepted picture is decoded in about 2 s at most.
constexpr qint64 MaxDecodeCost = 2'000'000'000;

// Why a picture file cannot be used; the window and the companion say it in their own words.
enum class PictureError {
    None,
    NoFile, // missing, or an empty name
    Folder,
    NotRegularFile, // a pipe, device or socket: it could keep the reader waiting
    NoPermission,
    Unreadable, // the system failed to read it
    FileTooLarge, // over MaxPictureMegabytes on disk
    SideTooLarge, // over MaxPictureSide
    PixelsTooLarge, // over MaxPictureMegabytes decoded
    TooMuchWork, // over MaxDecodeCost, or a JPEG of more scans than any encoder writes
    NotAPicture,
    CutShort,
    Damaged, // a picture the decoder could not finish
};

// SideTooLarge or PixelsTooLarge for a picture beyond the bounds, None within them; bytesPerPixel
// as the decoder holds the picture: 4, or 8 for 16 bits a channel.
PictureError PictureSizeError(QSize size, int bytesPerPixel = 4);

// The cause as the window's messages give it: one Chinese sentence.
QString PictureErrorChinese(PictureError error);
// The cause as the companion's messages give it: a few English words.
QString PictureErrorEnglish(PictureError error);

// Given the picture's size as it stands (after its orientation tag), the size it is about to be
// scaled to, or an empty size.
using ScaledTarget = std::function<QSize(QSize)>;

// Decodes the picture file at path: bitmap, JPEG, GIF, icon, cursor, and whatever else
// the installed image readers take. The format is read from the content, never from
// the name. Of a file with several pictures (an icon's sizes, a GIF's frames) the first
// is taken; a JPEG's orientation tag is applied, so the picture stands as viewers show it.
//
// The result is RGB32. Transparent and translucent pixels are laid over white, so the
// see-through parts of an icon or GIF become light background, not dark.
//
// nullopt, and *error (when given) says why, for an empty path, a file that is missing,
// unreadable or no picture, a picture cut short or corrupt (libjpeg's warning that the data ended
// early included), one that decodes to no pixels, one too large, and one too costly to decode. A
// PNG's text and other chunks that the pixels do not need are never read. A pipe, device or
// anything else but a regular file is refused before it is opened for reading, as it could keep
// the reader waiting or stream without end.
//
// A JPEG is decoded by libjpeg directly (see DecodeJpeg), with the pixels Qt's reader gives. With
// scaledTo, a JPEG about to be scaled down is decoded at a reduced size from its DCT coefficients
// and returned at the size scaledTo gives; any other picture is returned whole.
std::optional<QImage> LoadPicture(
    const QString& path, PictureError* error = nullptr, const ScaledTarget& scaledTo = {});

// The same for a picture file's bytes already in memory.
std::optional<QImage> LoadPictureData(
    const QByteArray& data, PictureError* error = nullptr, const ScaledTarget& scaledTo = {});
