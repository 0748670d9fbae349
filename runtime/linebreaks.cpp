#include "runtime/linebreaks.h"

namespace {

constexpr char16_t LineSeparator = 0x2028;
constexpr char16_t ParagraphSeparator = 0x2029;

bool isLineBreak(char16_t c)
{
    return c == u'\r' || c == u'\n' || c == LineSeparator || c == ParagraphSeparator;
}

// Copies text with each line break replaced by lineBreak; the text between breaks
// is copied a whole run at a time, as a picture's rows are long.
QString replaceLineBreaks(QStringView text, QStringView lineBreak)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!isLineBreak(c))
            continue;
        out.append(text.sliced(runStart, i - runStart));
        out.append(lineBreak);
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        runStart = i + 1;
    }
    out.append(text.sliced(runStart));
    return out;
}

} // namespace

QString WithLineFeeds(QStringView text)
{
    return replaceLineBreaks(text, u"\n");
}

QString WithCrLf(QStringView text)
{
    return replaceLineBreaks(text, u"\r\n");
}
