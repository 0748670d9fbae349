#include "cli/options.h"

#include "window/defaults.h"

#include <QCommandLineParser>
#include <QStringDecoder>
#include <algorithm>

namespace {

struct Option
{
    char shortName; // 0: long form only
    const char* longName;
    const char* valueName; // nullptr: a switch without a value
    const char* help;
    // Where the value goes: one of the three.
    std::optional<QString> CliOptions::*text = nullptr;
    std::optional<int> CliOptions::*number = nullptr;
    bool CliOptions::*flag = nullptr;
    int min = 0; // a number lies in min..max
    int max = 0;
};

constexpr Option text(char shortName, const char* longName, const char* valueName,
    std::optional<QString> CliOptions::*member, const char* help)
{
    return {shortName, longName, valueName, help, member};
}

constexpr Option number(char shortName, const char* longName, const char* valueName,
    std::optional<int> CliOptions::*member, int min, int max, const char* help)
{
    return {shortName, longName, valueName, help, nullptr, member, nullptr, min, max};
}

constexpr Option flag(
    char shortName, const char* longName, bool CliOptions::*member, const char* help)
{
    return {shortName, longName, nullptr, help, nullptr, nullptr, member};
}

using O = CliOptions;
constexpr Option Table[] = {
    text('t', "text", "TEXT", &O::text, "source text, an LF breaks the line (墨)"),
    text(0, "text-file", "FILE", &O::textFile, "source text from a UTF-8 file; - for stdin"),
    text('f', "font", "FAMILY", &O::font, "font family (the window's default choice)"),
    number('s', "size", "PT", &O::size, MinPoints, MaxPoints, "font size in points (9)"),
    flag('b', "bold", &O::bold, "bold"),
    flag('i', "italic", &O::italic, "italic"),
    flag('u', "underline", &O::underline, "underline"),
    flag('d', "strikeout", &O::strikeOut, "strikeout"),
    number('W', "width", "N", &O::width, MinPreviewSide, MaxPreviewSide,
        "picture width in pixels (12)"),
    number('H', "height", "N", &O::height, MinPreviewSide, MaxPreviewSide,
        "picture height in pixels (12)"),
    text('g', "background", "FILE", &O::background,
        "picture behind the text; - for stdin (built-in)"),
    flag(0, "fit", &O::fit, "scale the picture to the size instead of tiling it"),
    number('m', "mode", "0|1|2", &O::mode, 0, 2, "what counts as a light pixel, see below (0)"),
    number('k', "threshold", "K", &O::threshold, MinK, MaxK, "K of mode 2 (128)"),
    text('D', "display", "STR", &O::display, "written for a dark pixel (砾)"),
    text('S', "space", "STR", &O::space, "written for a light pixel (U+3000)"),
    flag(0, "trim", &O::trim, "drop spaces and U+3000 at the end of every row"),
    flag(0, "keep-width", &O::keepWidth, "put a ruler line of T's in front"),
    flag('q', "quiet", &O::quiet, "no warning when the two strings differ in width"),
    text(0, "settings", "FILE", &O::settings, "drawing values and options from a Tessarin.Ini"),
    text('o', "output", "FILE", &O::output, "save as the window does (GBK, CR LF); - for stdout"),
    text(0, "preview", "FILE", &O::preview, "also save the preview picture (PNG); - for stdout"),
    flag(0, "list-fonts", &O::listFonts, "the fonts in the window's order, * the default"),
    flag(0, "help", &O::help, "show this help"),
    flag(0, "version", &O::version, "show the version"),
};

QString optionName(const Option& option)
{
    const QString longName = QStringLiteral("--") + QLatin1String(option.longName);
    return option.shortName
        ? QStringLiteral("-%1/%2").arg(QString(QLatin1Char(option.shortName)), longName)
        : longName;
}

QString accepts(const Option& option)
{
    if (option.flag)
        return QStringLiteral("no value");
    if (option.number)
        return QStringLiteral("a whole number from %1 to %2").arg(option.min).arg(option.max);
    return QStringLiteral("a value");
}

// Digits only, so "12abc", "+12", " 12" and "1e2" are all refused.
std::optional<int> wholeNumber(const QString& text, const Option& option)
{
    if (text.isEmpty())
        return std::nullopt;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    bool fits = false;
    const qint64 value = text.toLongLong(&fits);
    if (!fits || value < option.min || value > option.max)
        return std::nullopt;
    return int(value);
}

const Option* findShort(QChar name)
{
    for (const Option& option : Table)
        if (option.shortName && name == QLatin1Char(option.shortName))
            return &option;
    return nullptr;
}

const Option* findLong(QStringView name)
{
    for (const Option& option : Table)
        if (name == QLatin1String(option.longName))
            return &option;
    return nullptr;
}

QCommandLineOption parserOption(const Option& option)
{
    QStringList names;
    if (option.shortName)
        names.append(QString(QLatin1Char(option.shortName)));
    names.append(QLatin1String(option.longName));
    return QCommandLineOption(names, QString::fromUtf8(option.help),
        option.valueName ? QString::fromUtf8(option.valueName) : QString());
}

// The parser's own messages name no option the way ours do, so the complaint is worked out
// again from the arguments: an unknown name as it was written, a value missing at the end, or a
// value given to a switch.
QString parserComplaint(const QCommandLineParser& parser, const QStringList& arguments)
{
    if (!parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().constFirst();
        const QString asLong = QStringLiteral("--") + name;
        const bool wasLong = std::any_of(arguments.begin(), arguments.end(),
            [&](const QString& a) { return a == asLong || a.startsWith(asLong + u'='); });
        return QStringLiteral("tessarin-cli: unknown option \"%1\"; see --help")
            .arg(wasLong ? asLong : u'-' + name);
    }
    for (const QString& argument : arguments) {
        const qsizetype equals = argument.indexOf(u'=');
        const Option* option = argument.startsWith(QLatin1String("--")) && equals > 2
            ? findLong(QStringView(argument).mid(2, equals - 2))
            : nullptr;
        if (option && option->flag)
            return ValueError(
                optionName(*option), accepts(*option), Quoted(argument.mid(equals + 1)));
    }
    // Only the last argument can want a value that never comes: a long name, or the first
    // letter of a group that takes one.
    const QString& last = arguments.constLast();
    const Option* wanting = nullptr;
    if (last.startsWith(QLatin1String("--")))
        wanting = findLong(QStringView(last).mid(2));
    else
        for (qsizetype at = 1; at < last.size() && !wanting; ++at)
            if (const Option* option = findShort(last[at]); option && !option->flag)
                wanting = option;
    if (wanting)
        return ValueError(optionName(*wanting), accepts(*wanting), QStringLiteral("nothing"));
    return QStringLiteral("tessarin-cli: ") + parser.errorText();
}

} // namespace

QString ValueError(
    const QString& option, const QString& accepts, const QString& got, const QString& reason)
{
    QString message
        = QStringLiteral("tessarin-cli: %1: expected %2, got %3").arg(option, accepts, got);
    if (!reason.isEmpty())
        message += QStringLiteral(" (%1)").arg(reason);
    // One line, whatever the value holds.
    message.replace(u'\n', u' ').replace(u'\r', u' ');
    return message;
}

ParsedOptions ParseArguments(const QByteArrayList& bytes)
{
    ParsedOptions result;
    const auto fail = [&](const QString& error) {
        result.error = error;
        return result;
    };

    // The shell hands over bytes; a text that is not UTF-8 would lose characters unseen.
    QStringList arguments {QStringLiteral("tessarin-cli")};
    QStringList notUtf8;
    for (const QByteArray& argument : bytes) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        arguments.append(utf8.decode(argument));
        if (utf8.hasError())
            notUtf8.append(arguments.constLast());
    }

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    for (const Option& option : Table)
        parser.addOption(parserOption(option));
    if (!parser.parse(arguments))
        return fail(parserComplaint(parser, arguments.mid(1)));
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("tessarin-cli: unexpected argument %1; options start with \"-\"")
                        .arg(Quoted(parser.positionalArguments().constFirst())));

    for (const Option& option : Table) {
        const QString name = QLatin1String(option.longName);
        if (!parser.isSet(name))
            continue;
        if (option.flag) {
            result.options.*option.flag = true;
            continue;
        }
        const QString value = parser.value(name);
        const bool broken = value.contains(QChar::ReplacementCharacter)
            && std::any_of(notUtf8.begin(), notUtf8.end(),
                [&](const QString& argument) { return argument.endsWith(value); });
        if (broken)
            return fail(ValueError(optionName(option), QStringLiteral("UTF-8 text"), Quoted(value),
                QStringLiteral("not UTF-8")));
        if (option.text)
            result.options.*option.text = value;
        else if (const std::optional<int> whole = wholeNumber(value, option))
            result.options.*option.number = whole;
        else
            return fail(ValueError(optionName(option), accepts(option), Quoted(value)));
    }

    const CliOptions& o = result.options;
    if (o.text && o.textFile)
        return fail(QStringLiteral(
            "tessarin-cli: -t/--text, --text-file: expected one source text, got both"));
    if (o.textFile == StandardStream && o.background == StandardStream)
        return fail(QStringLiteral("tessarin-cli: --text-file, -g/--background: expected one of "
                                   "them to read standard input, got both"));
    return result;
}

QString HelpText()
{
    QString help = QStringLiteral(
        "Usage: tessarin-cli [OPTION]...\n"
        "Draws a text over a tiled background into a small picture and writes one\n"
        "display or space string per pixel, as the Tessarin window's \"生成\" does.\n\n");
    for (const Option& option : Table) {
        QString name = option.shortName ? QStringLiteral("-%1, ").arg(QLatin1Char(option.shortName))
                                        : QStringLiteral("    ");
        name += QStringLiteral("--") + QLatin1String(option.longName);
        if (option.valueName)
            name += u' ' + QString::fromUtf8(option.valueName);
        help += QStringLiteral("  %1  %2\n").arg(name, -24).arg(QString::fromUtf8(option.help));
    }
    help += QStringLiteral(
        "\nA pixel is light (the space string) in mode 0 when its red, green and blue all\n"
        "reach 128, in mode 1 when two of them do, in mode 2 when its grey level reaches K.\n"
        "With --fit and one of -W and -H, the other side keeps the picture's shape,\n"
        "a character cell being twice as tall as a half-width character is wide.\n"
        "Without -o the result goes to standard output in UTF-8, with CR LF line breaks.\n"
        "Options given here win over --settings. Exit status: 0 done, 1 a background,\n"
        "font or output that cannot be used, 2 a bad option or value.\n");
    return help;
}

QString Quoted(const QString& text)
{
    return u'"' + text + u'"';
}
