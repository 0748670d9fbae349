#include "cli/fit.h"

#include "window/defaults.h"

#include <QList>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cwchar>

int DisplayColumns(QStringView text)
{
    // The widths are the C library's, read in a UTF-8 locale whatever the user's is; the
    // thread's locale is swapped for the count only.
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
    const locale_t before = utf8 ? uselocale(utf8) : locale_t(nullptr);
    int columns = 0;
    for (const uint c : text.toUcs4())
        columns += std::max(0, utf8 ? wcwidth(wchar_t(c)) : 1);
    if (utf8)
        uselocale(before);
    return columns;
}

QSize FitSize(QSize picture, std::optional<int> width, std::optional<int> height, int columns)
{
    // The picture's height over its width, as it stands in pixels of the collage.
    const double shape = double(picture.height()) * std::max(columns, 1)
        / (double(picture.width()) * CellHeightInColumns);
    const auto side = [](double value) {
        return int(std::clamp(std::lround(value), long(MinPreviewSide), long(MaxPreviewSide)));
    };
    if (width && height)
        return {*width, *height};
    if (width)
        return {*width, side(*width * shape)};
    return {side(*height / shape), *height};
}
