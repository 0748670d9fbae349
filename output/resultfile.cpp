#include "output/resultfile.h"

#include "runtime/codepage.h"

#include <QSaveFile>

namespace {

constexpr char16_t LineSeparator = 0x2028;
constexpr char16_t ParagraphSeparator = 0x2029;

// Copies text with each line break replaced by lineBreak.
QString replaceLineBreaks(QStringView text, QStringView lineBreak)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        switch (c) {
        case u'\r':
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += lineBreak;
            break;
        case u'\n':
        case LineSeparator:
        case ParagraphSeparator:
            out += lineBreak;
            break;
        default:
            out += QChar(c);
        }
    }
    return out;
}

} // namespace

QString WithLineFeeds(QStringView text)
{
    return replaceLineBreaks(text, u"\n");
}

QByteArray ResultFileBytes(const QString& plainText)
{
    return ToAnsi(replaceLineBreaks(plainText, u"\r\n"));
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    // The bytes go to a temporary file that replaces the target only once all of them are on
    // disk, so a failure at any step leaves the old file as it was and a shorter text leaves no
    // tail of a longer one behind.
    QSaveFile file(path);
    const bool written
        = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!written && error)
        *error = file.errorString();
    return written;
}
