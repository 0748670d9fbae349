#pragma once

#include "runtime/picturefile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QSize>
#include <optional>

// Checks of a picture file's bytes before the decoder sees them, where Qt's readers would take a
// file cut short, or spend without bound on one that is not.

// The bytes to give the decoder: those of a picture whose structure runs whole to its end (a
// bitmap's rows, a JPEG's markers up to its end marker, a GIF's first frame, a PNG's chunks),
// without what the pixels do not need (a PNG's text and other ancillary chunks, also inside an
// icon); nullopt, and error says why, for one cut short, or a JPEG too costly to decode (see
// MaxDecodeCost).
std::optional<QByteArray> DecodableBytes(const QByteArray& bytes, PictureError& error);

// Qt's reader fills the rows that an XBM's values do not reach with white: true when there is a
// value for every byte of every row of a picture of the given size.
bool XbmComplete(QByteArrayView bytes, QSize size);

// The format of the commonest pictures from their first bytes, or an empty name. Told the format,
// Qt's reader loads only its plug-in, instead of every installed one to ask each whether it can
// read the bytes.
QByteArray KnownPictureFormat(QByteArrayView bytes);
