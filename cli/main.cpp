#include "app/inifile.h"
#include "cli/fit.h"
#include "cli/input.h"
#include "cli/options.h"
#include "cli/storedsettings.h"
#include "collage/collagetext.h"
#include "collage/defaultbackground.h"
#include "collage/previewimage.h"
#include "controls/fontlist.h"
#include "output/resultfile.h"
#include "runtime/linebreaks.h"
#include "runtime/picturefile.h"
#include "window/blankpicture.h"
#include "window/defaults.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImageWriter>
#include <QStringDecoder>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <memory>

namespace {

constexpr int ExitUnusable = 1; // a background, font or output that cannot be used
constexpr int ExitBadArguments = 2;

bool say(FILE* stream, const QByteArray& bytes)
{
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) == size_t(bytes.size())
        && std::fflush(stream) == 0;
}

int complain(int status, const QString& message)
{
    say(stderr, (message + u'\n').toUtf8());
    return status;
}

// The font list as the window fills it.
QStringList fontList()
{
    return SortedFontNames(QFontDatabase::families());
}

// Family names match without regard to letter case, as font matching does.
std::optional<QString> installedFamily(const QStringList& fonts, const QString& family)
{
    if (fonts.contains(family))
        return family;
    for (const QString& name : fonts)
        if (name.compare(family, Qt::CaseInsensitive) == 0)
            return name;
    return std::nullopt;
}

// The largest source text read: more than the largest picture can show.
constexpr qint64 MaxTextBytes = qint64(4) << 20;

QString inputName(const QString& path)
{
    return path == StandardStream ? QStringLiteral("standard input") : Quoted(path);
}

int tooLarge(const QString& option, const QString& path, qint64 cap)
{
    return complain(ExitBadArguments,
        QStringLiteral("tessarin-cli: %1: %2 holds more than %3 MiB; stopped reading")
            .arg(option, inputName(path))
            .arg(cap >> 20));
}

QString columnCount(int columns)
{
    return columns == 1 ? QStringLiteral("1 column") : QStringLiteral("%1 columns").arg(columns);
}

// Two names of one output: the same path, or both standard output.
bool sameTarget(const QString& a, const QString& b)
{
    if (a == StandardStream || b == StandardStream)
        return a == b;
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    return first.absoluteFilePath() == second.absoluteFilePath();
}

QByteArray pngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return bytes;
}

// A file replaced whole or not at all, or standard output for "-".
bool writeOutput(const QString& option, const QString& path, const QByteArray& bytes)
{
    QString reason = QStringLiteral("standard output is closed");
    if (path == StandardStream) {
        if (say(stdout, bytes))
            return true;
    } else if (const WriteResult written = WriteFile(path, bytes); written.ok()) {
        return true;
    } else {
        reason = written.systemText;
    }
    complain(ExitUnusable,
        QStringLiteral("tessarin-cli: %1: cannot write %2 (%3)")
            .arg(option, path == StandardStream ? QStringLiteral("standard output") : Quoted(path),
                reason));
    return false;
}

// The background picture named on the command line, or nullopt after saying why not.
std::optional<QImage> commandLineBackground(
    const QString& path, const ScaledTarget& scaledTo, int& status)
{
    const QString option = QStringLiteral("-g/--background");
    PictureError error = PictureError::None;
    std::optional<QImage> picture;
    if (path == StandardStream) {
        const Input input = ReadCapped(path, MaxPictureBytes);
        if (input.tooLarge) {
            status = tooLarge(option, path, MaxPictureBytes);
            return std::nullopt;
        }
        if (!input.bytes) {
            status = complain(ExitUnusable,
                QStringLiteral("tessarin-cli: %1: cannot read standard input (%2)")
                    .arg(option, input.reason));
            return std::nullopt;
        }
        picture = LoadPictureData(*input.bytes, &error, scaledTo);
    } else {
        picture = LoadPicture(path, &error, scaledTo);
    }
    if (!picture) {
        QString reason = PictureErrorEnglish(error);
        if (error == PictureError::NotRegularFile)
            reason += QStringLiteral("; use -g - to read a stream");
        status = complain(ExitUnusable,
            QStringLiteral("tessarin-cli: %1: cannot use %2 as a picture: %3")
                .arg(option, inputName(path), reason));
    }
    return picture;
}

// Draws the preview, makes the character picture and writes it out; the exit status.
int makeCollage(const CliOptions& o)
{
    const QString resultTarget = o.output.value_or(StandardStream);
    if (o.preview && sameTarget(*o.preview, resultTarget))
        return complain(ExitBadArguments,
            o.output ? QStringLiteral("tessarin-cli: -o/--output, --preview: expected two "
                                      "different files, got %1 for both")
                           .arg(Quoted(*o.output))
                     : QStringLiteral("tessarin-cli: --preview: expected a file, got \"-\" (the "
                                      "result goes to standard output)"));

    // Reading the installed fonts is the slowest part of starting up; a picture with
    // no text to draw does not need them.
    QStringList fonts;
    qsizetype defaultFont = -1;
    const auto readFonts = [&] {
        fonts = fontList();
        defaultFont = DefaultFontIndex(fonts);
    };
    if (o.listFonts) {
        readFonts();
        QString list;
        for (qsizetype i = 0; i < fonts.size(); ++i)
            list += (i == defaultFont ? QStringLiteral("* ") : QStringLiteral("  ")) + fonts[i]
                + u'\n';
        return say(stdout, list.toUtf8()) ? 0 : ExitUnusable;
    }

    // A settings file is read like any input the user names, a stream included, with the
    // window's cap.
    CollageSettings s;
    if (o.settings) {
        const Input input = ReadCapped(*o.settings, MaxIniFileBytes);
        if (input.tooLarge)
            return tooLarge(QStringLiteral("--settings"), *o.settings, MaxIniFileBytes);
        if (!input.bytes)
            return complain(ExitBadArguments,
                ValueError(QStringLiteral("--settings"), QStringLiteral("a readable settings file"),
                    inputName(*o.settings), input.reason));
        s = StoredSettings(*input.bytes);
    }

    QString text = o.text.value_or(StartSource);
    if (o.textFile) {
        const Input input = ReadCapped(*o.textFile, MaxTextBytes);
        if (input.tooLarge)
            return tooLarge(QStringLiteral("--text-file"), *o.textFile, MaxTextBytes);
        QStringDecoder utf8(QStringDecoder::Utf8);
        if (input.bytes)
            text = utf8.decode(*input.bytes);
        if (!input.bytes || utf8.hasError())
            return complain(ExitBadArguments,
                ValueError(QStringLiteral("--text-file"), QStringLiteral("a readable UTF-8 file"),
                    inputName(*o.textFile),
                    input.bytes ? QStringLiteral("not UTF-8") : input.reason));
    }

    CollageOptions collage;
    collage.display = o.display.value_or(StartDisplay);
    collage.space = o.space.value_or(StartSpace);
    collage.trim = o.trim || s.trim;
    collage.keepWidth = o.keepWidth || s.keepWidth;
    collage.mode = ProcessMode(o.mode.value_or(s.mode));
    collage.k = quint8(o.threshold.value_or(s.k));
    const int displayColumns = DisplayColumns(collage.display);
    const int spaceColumns = DisplayColumns(collage.space);

    // With --fit the picture is decoded no larger than needed, where its format allows.
    QSize size(o.width.value_or(s.width), o.height.value_or(s.height));
    const auto fitSize = [&](QSize picture) {
        return FitSize(picture, o.width || o.height ? o.width : s.width, o.height,
            std::max(displayColumns, spaceColumns));
    };
    std::optional<QSize> fullSize;
    const ScaledTarget scaledTo = [&](QSize picture) {
        fullSize = picture;
        return o.fit ? fitSize(picture) : QSize();
    };
    // The built-in tile is decoded only when it is used.
    QImage tile;
    if (o.background) {
        int status = 0;
        const std::optional<QImage> picture
            = commandLineBackground(*o.background, scaledTo, status);
        if (!picture)
            return status;
        tile = *picture;
    } else if (!s.background.isEmpty()) {
        // As in the window, a stored picture that no longer loads gives way to the built-in
        // one.
        if (const std::optional<QImage> picture = LoadPicture(s.background, nullptr, scaledTo))
            tile = *picture;
        else
            fullSize.reset();
    }
    if (tile.isNull())
        tile = DefaultBackground();
    if (o.fit)
        size = fitSize(fullSize.value_or(tile.size()));
    QImage preview = BlankPicture(size.width(), size.height(), Qt::white);
    if (o.font || !text.isEmpty())
        readFonts();
    QString family = fonts.isEmpty() ? QString() : fonts[defaultFont];
    if (o.font) {
        const std::optional<QString> installed = installedFamily(fonts, *o.font);
        if (!installed)
            return complain(ExitUnusable,
                QStringLiteral("tessarin-cli: -f/--font: %1 is not an installed font family; "
                               "see --list-fonts")
                    .arg(Quoted(*o.font)));
        family = *installed;
    }

    // One tile as large as the preview covers it exactly once.
    if (o.fit)
        tile = tile.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                   .convertToFormat(QImage::Format_RGB32);
    DrawPreview(preview, tile,
        PreviewFont(family, o.size.value_or(s.points), o.bold || s.bold, o.italic || s.italic,
            o.underline || s.underline, o.strikeOut || s.strikeOut),
        text);
    if (!CollageFits(preview, collage))
        return complain(ExitBadArguments,
            QStringLiteral("tessarin-cli: -D/--display, -S/--space: expected at most %1 characters "
                           "in all, got %2 for %3 x %4 pixels")
                .arg(MaxCollageLength)
                .arg(CollageLength(preview, collage))
                .arg(preview.width())
                .arg(preview.height()));
    const QString result = CollageText(preview, collage);

    if (displayColumns != spaceColumns && !o.quiet)
        say(stderr,
            QStringLiteral("tessarin-cli: warning: -D/--display takes %1 and -S/--space %2, so "
                           "the rows will not line up (--quiet hides this)\n")
                .arg(columnCount(displayColumns), columnCount(spaceColumns))
                .toUtf8());

    if (o.output) {
        if (!writeOutput(QStringLiteral("-o/--output"), *o.output, ResultFileBytes(result)))
            return ExitUnusable;
    } else {
        // The rows are already joined by CR LF; only breaks inside the strings need mending.
        const bool breaksInStrings = WithCrLf(collage.display) != collage.display
            || WithCrLf(collage.space) != collage.space;
        if (!say(stdout, (breaksInStrings ? WithCrLf(result) : result).toUtf8()))
            return complain(ExitUnusable, QStringLiteral("tessarin-cli: cannot write the result"));
    }
    if (o.preview && !writeOutput(QStringLiteral("--preview"), *o.preview, pngBytes(preview)))
        return ExitUnusable;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QByteArrayList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QByteArray(argv[i]));
    const ParsedOptions parsed = ParseArguments(arguments);
    if (!parsed.error.isEmpty())
        return complain(ExitBadArguments, parsed.error);
    const CliOptions& o = parsed.options;
    if (o.help)
        return say(stdout, HelpText().toUtf8()) ? 0 : ExitUnusable;
    if (o.version)
        return say(stdout, "tessarin-cli " TESSARIN_VERSION "\n") ? 0 : ExitUnusable;

    // Qt's notes on the session it runs in (no runtime folder, no display) are not the
    // user's business: only this program's own messages reach the error stream.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            say(stderr, (message + u'\n').toUtf8());
    });
    // Fonts need a GUI application, not a display. Pictures need no application at all (Qt's
    // image plug-ins are found without one), and making one, its event loop and all, would cost a
    // run without text a few per cent of its time. Only the C library's locale for the system's
    // error messages is set, as an application would set it: their language and character set
    // (loading every other part of it would cost a short run another 1 %).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool drawsText
        = o.listFonts || o.font || o.textFile || !o.text.value_or(StartSource).isEmpty();
    // Qt sees only the program name, so that no value of ours is taken for one of its options.
    int qtArgc = 1;
    std::unique_ptr<QGuiApplication> app;
    if (drawsText)
        app = std::make_unique<QGuiApplication>(qtArgc, argv);
    else if (std::setlocale(LC_CTYPE, ""))
        std::setlocale(LC_MESSAGES, "");

    const int status = makeCollage(o);
    // Tearing the application down would start the font system only to stop it
    // again; every file is committed and the streams are flushed, so the process can
    // simply end.
    std::fflush(nullptr);
    std::_Exit(status);
}
