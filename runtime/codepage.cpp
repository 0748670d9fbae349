#include "runtime/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <array>
#include <optional>

namespace {

constexpr int LeadCount = 0xFE - 0x81 + 1;
constexpr int TrailCount = 0xFE - 0x40; // 0x40..0xFE without 0x7F
constexpr char16_t Replacement = 0xFFFD;

bool isLead(uchar b)
{
    return b >= 0x81 && b <= 0xFE;
}

bool isTrail(uchar b)
{
    return b >= 0x40 && b <= 0xFE && b != 0x7F;
}

bool isFourByteDigit(uchar b)
{
    return b >= 0x30 && b <= 0x39;
}

int twoByteIndex(uchar lead, uchar trail)
{
    return (lead - 0x81) * TrailCount + trail - (trail < 0x7F ? 0x40 : 0x41);
}

// The GBK mapping, read once from the codec's decoder. Writing from a table that was filled by
// decoding guarantees that every code written reads back as the same character; the codec's own
// encoder would also silently drop default-ignorable characters such as U+200D.
struct GbkTable
{
    GbkTable();

    std::array<quint16, 0x10000> codeOf {}; // 0 where GBK cannot hold the character
    std::array<char16_t, LeadCount * TrailCount> twoByte {};
    char16_t byte80 = Replacement;
    char16_t byteFF = Replacement;
};

GbkTable::GbkTable()
{
    QStringDecoder gbk("GBK", QStringConverter::Flag::Stateless);
    // Without it every character would be written as a replacement: better no program at all.
    if (!gbk.isValid())
        qFatal("Qt has no GBK code page here (it was built without ICU)");
    const auto decode = [&](QByteArrayView code, quint16 codeValue) {
        const QString decoded = gbk.decode(code);
        if (decoded.size() != 1 || decoded[0].isSurrogate())
            return Replacement;
        const char16_t c = decoded[0].unicode();
        if (c >= 0x80 && c != Replacement && codeOf[c] == 0)
            codeOf[c] = codeValue;
        return c;
    };
    byte80 = decode("\x80", 0x80);
    byteFF = decode("\xFF", 0xFF);
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (!isTrail(uchar(trail)))
                continue;
            const char code[2] = {char(lead), char(trail)};
            twoByte[twoByteIndex(uchar(lead), uchar(trail))]
                = decode(QByteArrayView(code, 2), quint16(lead << 8 | trail));
        }
    }
}

const GbkTable& gbkTable()
{
    static const GbkTable table;
    return table;
}

QByteArray fourByteCode(QStringEncoder& gb18030, const GbkTable& gbk, QStringView codePoint)
{
    QByteArray code = gb18030.encode(codePoint);
    if (code.size() == 2 && isLead(uchar(code[0])) && isTrail(uchar(code[1]))) {
        const char16_t displaced = gbk.twoByte[twoByteIndex(uchar(code[0]), uchar(code[1]))];
        code = gb18030.encode(QStringView(&displaced, 1));
    }
    return code;
}

QString fourByteCharacter(QStringDecoder& gb18030, const GbkTable& gbk, QByteArrayView code)
{
    QString decoded = gb18030.decode(code);
    if (decoded.size() == 1 && decoded[0].isSurrogate())
        return QString(QChar(Replacement));
    if (decoded.size() == 1) {
        // Undo ToAnsi's exchange: the four-byte code of a private-use character that GBK writes
        // with two bytes stands for the character GB18030 puts on those two bytes.
        const quint16 gbkCode = gbk.codeOf[decoded[0].unicode()];
        if (gbkCode > 0xFF) {
            const char twoBytes[2] = {char(gbkCode >> 8), char(gbkCode & 0xFF)};
            const QString displaced = gb18030.decode(QByteArrayView(twoBytes, 2));
            if (displaced.size() == 1 && !displaced[0].isSurrogate()
                && displaced[0].unicode() != Replacement && gbk.codeOf[displaced[0].unicode()] == 0)
                return displaced;
        }
        return decoded;
    }
    if (decoded.size() == 2 && decoded[0].isHighSurrogate() && decoded[1].isLowSurrogate())
        return decoded;
    return QString(QChar(Replacement));
}

} // namespace

QByteArray ToAnsi(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(AnsiByteLength(text));
    const GbkTable* gbk = nullptr;
    std::optional<QStringEncoder> gb18030;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            bytes.append(char(c));
            continue;
        }
        if (!gbk)
            gbk = &gbkTable();
        if (const quint16 code = gbk->codeOf[c]) {
            if (code > 0xFF)
                bytes.append(char(code >> 8));
            bytes.append(char(code & 0xFF));
            continue;
        }
        QStringView codePoint = text.sliced(i, 1);
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            codePoint = text.sliced(i++, 2);
        else if (QChar::isSurrogate(c))
            codePoint = u"\uFFFD";
        if (!gb18030)
            gb18030.emplace("GB18030", QStringConverter::Flag::Stateless);
        bytes.append(fourByteCode(*gb18030, *gbk, codePoint));
    }
    return bytes;
}

QString FromAnsi(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    const GbkTable* gbk = nullptr;
    std::optional<QStringDecoder> gb18030;
    for (qsizetype i = 0; i < bytes.size();) {
        const uchar lead = uchar(bytes[i]);
        const qsizetype length = AnsiCharacterLength(bytes, i);
        if (lead < 0x80) {
            text += QChar(lead);
        } else {
            if (!gbk)
                gbk = &gbkTable();
            if (length == 2) {
                text += QChar(gbk->twoByte[twoByteIndex(lead, uchar(bytes[i + 1]))]);
            } else if (length == 4) {
                if (!gb18030)
                    gb18030.emplace("GB18030", QStringConverter::Flag::Stateless);
                text += fourByteCharacter(*gb18030, *gbk, bytes.sliced(i, 4));
            } else {
                text += QChar(lead == 0x80 ? gbk->byte80
                        : lead == 0xFF     ? gbk->byteFF
                                           : Replacement);
            }
        }
        i += length;
    }
    return text;
}

qsizetype AnsiCharacterLength(QByteArrayView bytes, qsizetype i)
{
    // A zero past the end is neither a trail byte nor a digit, so a cut code reads as malformed.
    const auto byteAt = [&](qsizetype j) { return j < bytes.size() ? uchar(bytes[j]) : uchar(0); };
    if (!isLead(byteAt(i)))
        return 1;
    if (isTrail(byteAt(i + 1)))
        return 2;
    if (isFourByteDigit(byteAt(i + 1)) && isLead(byteAt(i + 2)) && isFourByteDigit(byteAt(i + 3)))
        return 4;
    return 1;
}

qsizetype AnsiByteLength(QStringView text)
{
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size && text[i].unicode() < 0x80)
        ++i;
    if (i == size)
        return size;

    const GbkTable& gbk = gbkTable();
    qsizetype length = i;
    for (; i < size; ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            length += 1;
        } else if (const quint16 code = gbk.codeOf[c]) {
            length += code > 0xFF ? 2 : 1;
        } else {
            length += 4;
            if (QChar::isHighSurrogate(c) && i + 1 < size && text[i + 1].isLowSurrogate())
                ++i;
        }
    }
    return length;
}
