#pragma once

#include <QByteArrayList>
#include <QString>
#include <optional>

// What the command line asks for. An option left out stays empty, so that a value
// read from a settings file can stand in for it.
struct CliOptions
{
    std::optional<QString> text;
    std::optional<QString> textFile;
    std::optional<QString> font;
    std::optional<int> size;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::optional<int> width;
    std::optional<int> height;
    std::optional<QString> background;
    std::optional<int> mode;
    std::optional<int> threshold;
    std::optional<QString> display;
    std::optional<QString> space;
    bool trim = false;
    bool keepWidth = false;
    bool fit = false;
    bool quiet = false;
    std::optional<QString> settings;
    std::optional<QString> output;
    std::optional<QString> preview;
    bool listFonts = false;
    bool help = false;
    bool version = false;
};

// The options, or the one-line message for the first argument that is not one
// of them or carries a value it does not accept.
struct ParsedOptions
{
    CliOptions options;
    QString error;
};

// Reads the arguments that follow the program name, as the bytes the shell passed. Values are
// taken strictly: a number must be all digits and within its range, a text must be UTF-8.
ParsedOptions ParseArguments(const QByteArrayList& arguments);

// The file name that stands for standard input or output.
inline const QString StandardStream = QStringLiteral("-");

// A text in double quotes, as the messages show what they were given.
QString Quoted(const QString& text);

// The text --help prints.
QString HelpText();

// A one-line complaint about an option's value: the option, what it accepts, and
// what it got, with a reason when there is one.
QString ValueError(
    const QString& option, const QString& accepts, const QString& got, const QString& reason = {});
