#include "cli/options.h"

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

// The largest font size: far beyond the largest picture, whose 1024 pixels are
// 768 points.
constexpr int MaxPoints = 4096;

using O = CliOptions;
constexpr Option Table[] = {
    text('t', "text", "TEXT", &O::text, "source text, an LF breaks the line (墨)"),
    text(0, "text-file", "FILE", &O::textFile, "source text from a UTF-8 file"),
    text('f', "font", "FAMILY", &O::font, "font family (the window's default choice)"),
    number('s', "size", "PT", &O::size, 1, MaxPoints, "font size in points (9)"),
    flag('b', "bold", &O::bold, "bold"),
    flag('i', "italic", &O::italic, "italic"),
    flag('u', "underline", &O::underline, "underline"),
    flag('d', "strikeout", &O::strikeOut, "strikeout"),
    number('W', "width", "N", &O::width, 1, 1024, "picture width in pixels (12)"),
    number('H', "height", "N", &O::height, 1, 1024, "picture height in pixels (12)"),
    text('g', "background", "FILE", &O::background,
        "picture tiled behind the text (the built-in one)"),
    number('m', "mode", "0|1|2", &O::mode, 0, 2, "what counts as a light pixel, see below (0)"),
    number('k', "threshold", "K", &O::threshold, 16, 240, "K of mode 2 (128)"),
    text('D', "display", "STR", &O::display, "written for a dark pixel (砾)"),
    text('S', "space", "STR", &O::space, "written for a light pixel (U+3000)"),
    flag(0, "trim", &O::trim, "drop spaces and U+3000 at the end of every row"),
    flag(0, "keep-width", &O::keepWidth, "put a ruler line of T's in front"),
    text(0, "settings", "FILE", &O::settings, "drawing values and options from a Tessarin.Ini"),
    text('o', "output", "FILE", &O::output, "save as the window does (GBK, CR LF), not print"),
    text(0, "preview", "FILE", &O::preview, "also save the preview picture (PNG)"),
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

QString unknown(const QString& argument)
{
    return QStringLiteral("tessarin-cli: unknown option \"%1\"; see --help").arg(argument);
}

// Stores one option; false when its value is not accepted.
bool store(CliOptions& options, const Option& option, const QString& value)
{
    if (option.flag)
        options.*option.flag = true;
    else if (option.text)
        options.*option.text = value;
    else if (const std::optional<int> whole = wholeNumber(value, option))
        options.*option.number = whole;
    else
        return false;
    return true;
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

ParsedOptions ParseArguments(const QStringList& arguments)
{
    ParsedOptions result;
    const auto fail = [&](const QString& error) {
        result.error = error;
        return result;
    };
    const auto quoted = [](const QString& text) { return u'"' + text + u'"'; };

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const Option* option = nullptr;
        std::optional<QString> value;
        if (argument.startsWith(QLatin1String("--")) && argument.size() > 2) {
            const qsizetype equals = argument.indexOf(u'=');
            option = findLong(QStringView(argument).mid(2, equals < 0 ? -1 : equals - 2));
            if (!option)
                return fail(unknown(equals < 0 ? argument : argument.left(equals)));
            if (equals >= 0)
                value = argument.mid(equals + 1);
        } else if (argument.startsWith(u'-') && argument.size() > 1 && argument != u"--") {
            // Switches may share one dash ("-bi"); a value may follow its letter directly.
            for (qsizetype at = 1; at < argument.size(); ++at) {
                option = findShort(argument[at]);
                if (!option)
                    return fail(unknown(u'-' + argument[at]));
                if (!option->flag) {
                    if (at + 1 < argument.size())
                        value = argument.mid(at + 1);
                    break;
                }
                if (at + 1 < argument.size())
                    store(result.options, *option, {});
            }
        } else {
            return fail(
                QStringLiteral("tessarin-cli: unexpected argument %1; options start with \"-\"")
                    .arg(quoted(argument)));
        }

        if (option->flag) {
            if (value)
                return fail(ValueError(optionName(*option), accepts(*option), quoted(*value)));
        } else if (!value) {
            if (i + 1 >= arguments.size())
                return fail(
                    ValueError(optionName(*option), accepts(*option), QStringLiteral("nothing")));
            value = arguments[++i];
        }
        if (!store(result.options, *option, value.value_or(QString())))
            return fail(ValueError(optionName(*option), accepts(*option), quoted(*value)));
    }

    if (result.options.text && result.options.textFile)
        return fail(QStringLiteral(
            "tessarin-cli: -t/--text, --text-file: expected one source text, got both"));
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
        "Without -o the result goes to standard output in UTF-8, with CR LF line breaks.\n"
        "Options given here win over --settings. Exit status: 0 done, 1 a background,\n"
        "font or output that cannot be used, 2 a bad option or value.\n");
    return help;
}
