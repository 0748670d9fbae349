#pragma once

#include "runtime/picturefile.h"

#include <QByteArray>
#include <QImage>
#include <optional>

// Decodes a JPEG through libjpeg itself, reduced in size from its DCT coefficients where
// scaledTo asks for a smaller picture, with the same pixels as Qt's image reader gives (its
// orientation tag applied, CMYK made RGB as Qt makes it). Unlike Qt's reader, which passes on
// only a picture's first warning, this one sees every warning; and it needs none of Qt's image
// plug-ins, whose loading costs a short run of the companion a good part of its time.
//
// nullopt, and error says why, for a picture too large, damaged, of a kind Qt's reader does not
// read either (two components, or more than four), or whose data ends early (libjpeg only warns of
// that, and fills the rest with grey).
std::optional<QImage> DecodeJpeg(
    const QByteArray& bytes, const ScaledTarget& scaledTo, PictureError& error);
