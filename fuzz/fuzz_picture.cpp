#include "fuzz/fuzzcheck.h"
#include "runtime/picturefile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The loader reads files, so the bytes go through one.
    const std::optional<QImage> picture
        = LoadPicture(scratchFile("picture", {data, qsizetype(size)}));
    if (!picture)
        return 0;
    require(!picture->isNull() && picture->format() == QImage::Format_RGB32
            && picture->width() <= MaxPictureSide && picture->height() <= MaxPictureSide
            && picture->sizeInBytes() <= qsizetype(MaxPictureMegabytes) * 1024 * 1024,
        "a picture is an RGB32 image within the bounds");
    // Reading every pixel lets the address sanitizer check that the rows are all there.
    for (int y = 0; y < picture->height(); ++y)
        for (int x = 0; x < picture->width(); ++x)
            require(qAlpha(picture->pixel(x, y)) == 255, "a picture's pixels are opaque");
    return 0;
}
