#include "cli/options.h"
#include "cli/storedsettings.h"
#include "collage/collagetext.h"
#include "collage/defaultbackground.h"
#include "collage/previewimage.h"
#include "controls/fontlist.h"
#include "output/resultfile.h"
#include "runtime/picturefile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>
#include <QStringDecoder>
#include <cstdio>
#include <memory>
#include <vector>

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

QString quoted(const QString& text)
{
    return u'"' + text + u'"';
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

// The whole file, or nullopt and why not.
std::optional<QByteArray> readFile(const QString& path, QString& reason)
{
    if (QFileInfo(path).isDir()) {
        reason = QStringLiteral("a folder");
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return std::nullopt;
    }
    return file.readAll();
}

QByteArray pngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return bytes;
}

struct OutputFile
{
    QString option;
    QString path;
    QByteArray bytes;
};

// Each file replaces its target whole or not at all. All are written to their
// temporary files before the first one replaces its target, so a target that
// cannot be written leaves the others untouched as well.
int writeFiles(const std::vector<OutputFile>& outputs)
{
    std::vector<std::unique_ptr<QSaveFile>> files;
    const auto failed = [](const OutputFile& output, const QSaveFile& file) {
        return complain(ExitUnusable,
            QStringLiteral("tessarin-cli: %1: cannot write %2 (%3)")
                .arg(output.option, quoted(output.path), file.errorString()));
    };
    for (const OutputFile& output : outputs) {
        auto file = std::make_unique<QSaveFile>(output.path);
        if (!file->open(QIODevice::WriteOnly) || file->write(output.bytes) != output.bytes.size())
            return failed(output, *file);
        files.push_back(std::move(file));
    }
    for (size_t i = 0; i < files.size(); ++i)
        if (!files[i]->commit())
            return failed(outputs[i], *files[i]);
    return 0;
}

// Draws the preview, makes the character picture and writes it out; the exit status.
int makeCollage(const CliOptions& o)
{
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

    QString reason;
    CollageSettings s;
    if (o.settings) {
        if (!readFile(*o.settings, reason))
            return complain(ExitBadArguments,
                ValueError(QStringLiteral("--settings"), QStringLiteral("a readable settings file"),
                    quoted(*o.settings), reason));
        s = StoredSettings(*o.settings);
    }

    QString text = o.text.value_or(QStringLiteral("墨"));
    if (o.textFile) {
        const std::optional<QByteArray> bytes = readFile(*o.textFile, reason);
        QStringDecoder utf8(QStringDecoder::Utf8);
        if (bytes)
            text = utf8.decode(*bytes);
        if (!bytes || utf8.hasError())
            return complain(ExitBadArguments,
                ValueError(QStringLiteral("--text-file"), QStringLiteral("a readable UTF-8 file"),
                    quoted(*o.textFile), bytes ? QStringLiteral("not UTF-8") : reason));
    }

    QImage preview
        = BlankPicture(o.width.value_or(s.width), o.height.value_or(s.height), Qt::white);
    CollageOptions collage;
    collage.display = o.display.value_or(QStringLiteral("砾"));
    collage.space = o.space.value_or(QStringLiteral("\u3000"));
    collage.trim = o.trim || s.trim;
    collage.keepWidth = o.keepWidth || s.keepWidth;
    collage.mode = ProcessMode(o.mode.value_or(s.mode));
    collage.k = quint8(o.threshold.value_or(s.k));
    if (!CollageFits(preview, collage))
        return complain(ExitBadArguments,
            QStringLiteral("tessarin-cli: -D/--display, -S/--space: expected at most %1 characters "
                           "in all, got up to %2 for %3 x %4 pixels")
                .arg(MaxCollageLength)
                .arg(CollageCapacity(preview, collage))
                .arg(preview.width())
                .arg(preview.height()));

    if (o.font || !text.isEmpty())
        readFonts();
    QString family = fonts.isEmpty() ? QString() : fonts[defaultFont];
    if (o.font) {
        const std::optional<QString> installed = installedFamily(fonts, *o.font);
        if (!installed)
            return complain(ExitUnusable,
                QStringLiteral("tessarin-cli: -f/--font: %1 is not an installed font family; "
                               "see --list-fonts")
                    .arg(quoted(*o.font)));
        family = *installed;
    }

    QImage tile = DefaultBackground();
    if (o.background) {
        const std::optional<QImage> picture = LoadPicture(*o.background);
        if (!picture)
            return complain(ExitUnusable,
                QStringLiteral("tessarin-cli: -g/--background: cannot read a picture from %1")
                    .arg(quoted(*o.background)));
        tile = *picture;
    } else if (!s.background.isEmpty()) {
        // As in the window, a stored picture that no longer loads gives way to the built-in
        // one.
        tile = LoadPicture(s.background).value_or(tile);
    }

    DrawPreview(preview, tile,
        PreviewFont(family, o.size.value_or(s.points), o.bold || s.bold, o.italic || s.italic,
            o.underline || s.underline, o.strikeOut || s.strikeOut),
        text);
    const QString result = CollageText(preview, collage);

    std::vector<OutputFile> outputs;
    if (o.output)
        outputs.push_back({QStringLiteral("-o/--output"), *o.output, ResultFileBytes(result)});
    if (o.preview)
        outputs.push_back({QStringLiteral("--preview"), *o.preview, pngBytes(preview)});
    if (const int status = writeFiles(outputs))
        return status;
    // The rows are already joined by CR LF; only breaks inside the strings need mending.
    const bool breaksInStrings
        = WithCrLf(collage.display) != collage.display || WithCrLf(collage.space) != collage.space;
    if (!o.output && !say(stdout, (breaksInStrings ? WithCrLf(result) : result).toUtf8()))
        return complain(ExitUnusable, QStringLiteral("tessarin-cli: cannot write the result"));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
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
    // Fonts need a GUI application, not a display. Pictures alone do not, and
    // starting the window-system layer would cost a run without text a fifth of its
    // time.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool drawsText
        = o.listFonts || o.font || o.textFile || !o.text.value_or(QStringLiteral("墨")).isEmpty();
    // Qt sees only the program name, so that no value of ours is taken for one of its options.
    int qtArgc = 1;
    const std::unique_ptr<QCoreApplication> app = drawsText
        ? std::make_unique<QGuiApplication>(qtArgc, argv)
        : std::make_unique<QCoreApplication>(qtArgc, argv);

    const int status = makeCollage(o);
    // Tearing the application down would start the font system only to stop it
    // again; every file is committed and the streams are flushed, so the process can
    // simply end.
    std::fflush(nullptr);
    std::_Exit(status);
}
