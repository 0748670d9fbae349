#pragma once

#include "runtime/picturefile.h"

#include <QByteArray>
#include <QImage>
#include <optional>

// Decodes a JPEG through libjpeg itself, reduced in size from its DCT coefficients where
// scaledTo asks for a smaller picture, with the same pixels as Qt's image reader gives (its
// orientation tag applied). Asking Qt's reader would first load its image plug-ins, which costs
// a short run of the companion a good part of its time.
//
// nullopt with error None for a JPEG this does not read (CMYK and other colour spaces): Qt's
// reader takes those. Otherwise nullopt, and error says why, for a picture too large, damaged,
// or whose data ends early (libjpeg only warns of that, and fills the rest with grey).
std::optional<QImage> DecodeJpeg(
    const QByteArray& bytes, const ScaledTarget& scaledTo, PictureError& error);
