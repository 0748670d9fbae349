#pragma once

#include <QImage>
#include <QString>
#include <optional>

// The largest picture accepted: per side, and in bytes as the decoder holds it, 4 bytes a
// pixel or 8 for a picture with 16 bits a channel (the same bound caps the file's size). A
// picture beyond them fails like a broken one, before its pixels are allocated.
constexpr int MaxPictureSide = 16384;
constexpr int MaxPictureMegabytes = 256;

// Decodes the picture file at path: bitmap, JPEG, GIF, icon, cursor, and whatever else
// the installed image readers take. The format is read from the content, never from
// the name. Of a file with several pictures (an icon's sizes, a GIF's frames) the first
// is taken; a JPEG's orientation tag is applied, so the picture stands as viewers show it.
//
// The result is RGB32. Transparent and translucent pixels are laid over white, so the
// see-through parts of an icon or GIF become light background, not dark.
//
// nullopt for an empty path, a file that is missing, unreadable or no picture, a
// picture cut short or corrupt, one that decodes to no pixels, one too large, and a
// progressive JPEG of more scans than any encoder writes. A PNG's text and other
// chunks that the pixels do not need are never read. A pipe,
// device or anything else but a regular file is refused before it is opened for reading,
// as it could keep the reader waiting or stream without end.
std::optional<QImage> LoadPicture(const QString& path);

// The same for a picture file's bytes already in memory.
std::optional<QImage> LoadPictureData(const QByteArray& data);
