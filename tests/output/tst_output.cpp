#include "output/resultfile.h"
#include "support/files.h"
#include "support/loadedwindow.h"
#include "support/scriptedservices.h"
#include "window/frmtessarin.h"
#include "window/textboxes.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testsupport;
using Command = void (FrmTessarin::*)();
using F = FrmTessarin;
Q_DECLARE_METATYPE(WriteError)

class TestOutput : public QObject
{
    Q_OBJECT

    ScriptedServices services;
    std::unique_ptr<FrmTessarin> w;

    // The box's text as it holds it, no-break spaces and NULs included.
    QString text() const
    {
        return w->TxtOut->document()->toRawText().replace(QChar::ParagraphSeparator, u'\n');
    }
    // The same with "|" at the caret and "^" at the other end of the selection.
    QString marked() const
    {
        const QTextCursor cursor = w->TxtOut->textCursor();
        QString text = this->text().insert(cursor.position(), u'|');
        const int other = cursor.anchor() + (cursor.anchor() > cursor.position());
        return cursor.hasSelection() ? text.insert(other, u'^') : text;
    }
    // New text starts a new undo history; the same text only gets the selection.
    void setMarked(QString text)
    {
        const qsizetype caret = text.indexOf(u'|');
        const qsizetype other = text.remove(caret, 1).indexOf(u'^');
        if (text.remove(u'^') != this->text())
            w->TxtOut->setPlainText(text);
        QTextCursor cursor = w->TxtOut->textCursor();
        cursor.setPosition(int(other < 0 ? caret : other));
        cursor.setPosition(int(caret - (other >= 0 && other < caret)), QTextCursor::KeepAnchor);
        w->TxtOut->setTextCursor(cursor);
    }

private Q_SLOTS:
    void init() { w = LoadedWindow(services); }
    void cleanup() { w.reset(); }

    // A failed write gives a reason and changes nothing below the folder. "|" is a pipe nobody
    // reads from, ".a.tessarin~" a killed write's temporary file. A file-size limit stands in for a
    // full disk, which no test can mount as any user.
    void writeWholeFile_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<WriteError>("kind");
        QTest::addColumn<qint64>("sizeLimit");

        const QByteArray result = QByteArray::fromHex("c0f9a1a10d0aa1a1c0f9");
        const auto row = [&](const char* name, QString target, QString existing, QByteArray bytes,
                             WriteError kind, qint64 sizeLimit = RLIM_INFINITY) {
            QTest::newRow(name) << target << existing << bytes << kind << sizeLimit;
        };
        const WriteError ok = WriteError::None;
        row("new file", "结果.txt", "", result, ok);
        row("emptied, no tail, mode kept", "a", "a", QByteArray(), ok);
        row("a killed write's stray taken over", "a", ".a.tessarin~", result, ok);
        row("read-only file", "a", "a", result, WriteError::NoPermission);
        row("pipe without a reader", "a", "|", result, WriteError::NoReader);
        row("device that takes all", "/dev/null", "", result, ok);
        row("full device", "/dev/full", "", result, WriteError::DiskFull);
        // Under Qt's buffer size, where its own save file reported success with nothing written.
        row("no room for the whole text", "a", "a", QByteArray(300, 'r'), WriteError::Other, 150);
    }
    void writeWholeFile()
    {
        QFETCH(QString, target);
        QFETCH(QString, existing);
        QFETCH(QByteArray, bytes);
        QFETCH(WriteError, kind);
        QFETCH(qint64, sizeLimit);
        const int mode = kind == WriteError::NoPermission ? 0444 : 0600; // of the existing file
        QTemporaryDir dir;
        const QString path = QDir::isAbsolutePath(target) ? target : dir.filePath(target);
        const QByteArray native = QFile::encodeName(path);
        const QByteArray old(4096, 'x');
        if (existing == u"|")
            QCOMPARE(::mkfifo(native.constData(), 0600), 0);
        else if (!existing.isEmpty())
            QVERIFY(writeFile(dir.filePath(existing), old)
                && ::chmod(QFile::encodeName(dir.filePath(existing)).constData(), mode) == 0);
        if (!(mode & 0200) && ::access(native.constData(), W_OK) == 0)
            QSKIP("this user writes into read-only files anyway");
        const QStringList before = entriesBelow(dir.path());
        const auto modeOf = [&] {
            struct stat st = {};
            return ::stat(native.constData(), &st) == 0 ? st.st_mode : 0;
        };
        const mode_t modeBefore = modeOf();

        rlimit unlimited {};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &unlimited), 0);
        const rlimit limited {std::min(rlim_t(sizeLimit), unlimited.rlim_max), unlimited.rlim_max};
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        QString error;
        WriteError reported = WriteError::Other;
        const bool written = WriteWholeFile(path, bytes, &error, &reported);
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
        QCOMPARE(reported, kind);
        QCOMPARE(written, kind == WriteError::None);
        QCOMPARE(error.isEmpty(), written); // a failure says why
        if (modeBefore != 0) // a pipe or device stays one; a file keeps its mode
            QCOMPARE(modeOf(), modeBefore);
        if (QDir::isAbsolutePath(target))
            return;
        QCOMPARE(entriesBelow(dir.path()), written ? QStringList {path} : before);
        if (written)
            QCOMPARE(readAll(path), bytes);
        else if (QFileInfo(dir.filePath(existing)).isFile())
            QCOMPARE(readAll(dir.filePath(existing)), old);
    }

    // What is not a plain file in a plain folder: a stream named by one of the program's own
    // descriptors is written through it (a file opened for appending keeps its lines, a pipe gets
    // the bytes), a reader that takes nothing fails the write at the deadline, and a link into a
    // missing folder names that folder, not the link's.
    void streamsAndLinks_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<WriteError>("error");
        QTest::newRow("/dev/fd/N appending") << "append" << WriteError::None;
        QTest::newRow("/proc/self/fd/N of a pipe") << "pipe" << WriteError::None;
        QTest::newRow("pipe whose reader takes nothing") << "stalled" << WriteError::ReaderStalled;
        QTest::newRow("link into a missing folder") << "dangling" << WriteError::NoFolder;
    }
    void streamsAndLinks()
    {
        QFETCH(QString, kind);
        QFETCH(WriteError, error);
        QTemporaryDir dir;
        const QByteArray file = QFile::encodeName(dir.filePath(u"log"_qs));
        const QByteArray bytes(kind == u"stalled" ? 1 << 20 : 100, 'b');
        int fds[2] = {-1, -1};
        QString path;
        QByteArray expected = bytes;
        if (kind == u"append") {
            QVERIFY(writeFile(QFile::decodeName(file), "earlier\n"));
            fds[1] = ::open(file.constData(), O_WRONLY | O_APPEND);
            path = u"/dev/fd/%1"_qs.arg(fds[1]);
            expected.prepend("earlier\n");
        } else if (kind == u"pipe") {
            QCOMPARE(::pipe(fds), 0);
            path = u"/proc/self/fd/%1"_qs.arg(fds[1]);
        } else if (kind == u"stalled") {
            QCOMPARE(::mkfifo(file.constData(), 0600), 0);
            fds[0] = ::open(file.constData(), O_RDONLY | O_NONBLOCK);
            path = QFile::decodeName(file);
        } else {
            path = dir.filePath(u"link"_qs);
            QVERIFY(QFile::link(dir.filePath(u"gone/deeper/result.txt"_qs), path));
        }
        const WriteResult result = WriteFile(path, bytes, 200);
        QCOMPARE(result.kind, error);
        if (kind == u"pipe") {
            QByteArray got(bytes.size() + 1, '\0');
            QCOMPARE(::read(fds[0], got.data(), size_t(got.size())), ssize_t(bytes.size()));
            QCOMPARE(got.chopped(1), bytes);
        } else if (kind == u"append") {
            QCOMPARE(readAll(QFile::decodeName(file)), expected);
        } else if (kind == u"dangling") {
            QCOMPARE(result.folder, dir.filePath(u"gone/deeper"_qs));
            QCOMPARE(entriesBelow(dir.path()), QStringList {path});
        }
        for (const int fd : fds)
            if (fd >= 0)
                ::close(fd);
    }

    void commands_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("clipboard"); // null: something that is not text
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("copied"); // the clipboard after the command

        const QString nul(1, QChar(0));
        const auto row
            = [](const char* name, Command command, const QString& before, const QString& clipboard,
                  const QString& after, const QString& copied) {
                  QTest::newRow(name) << command << before << clipboard << after << copied;
              };
        row("copy backwards across an empty line", &F::mnuCopy_Click, "a|b\n\nc^d", "x",
            "a|b\n\nc^d", "b\n\nc");
        row("cut across lines", &F::mnuCut_Click, "a^b\ncd\ne|f", "x", "a|f", "b\ncd\ne");
        row("delete", &F::mnuDel_Click, "墨^砾版|", "x", "墨|", "x");
        row("paste over a selection, CR LF one break", &F::mnuPaste_Click, "墨^砾版|",
            "砾\r\n\u3000\n", "墨砾\n\u3000\n|", "砾\r\n\u3000\n");
        row("paste NULs", &F::mnuPaste_Click, "|", "砾" + nul + "\n" + nul,
            "砾" + nul + "\n" + nul + "|", "砾" + nul + "\n" + nul);
        row("paste without text on the clipboard", &F::mnuPaste_Click, "^ab|c", QString(), "|c",
            "");
        row("copy text takes the whole box", &F::mnuCopyText_Click, "a^\u00a0|" + nul + "\nb", "x",
            "a^\u00a0|" + nul + "\nb", "a\u00a0" + nul + "\nb");
    }
    void commands()
    {
        QFETCH(Command, command);
        QFETCH(QString, before);
        QFETCH(QString, clipboard);
        QFETCH(QString, after);
        QFETCH(QString, copied);

        setMarked(before);
        services.clipboardText = clipboard.isNull() ? std::nullopt : std::optional(clipboard);
        (w.get()->*command)();
        QCOMPARE(marked(), after);
        QCOMPARE(services.clipboardText.value_or(QString()), copied);
    }

    // Each command is one step of the box's undo, even where the box would merge typed keys.
    void undoStepByStep()
    {
        const std::pair<Command, QString> steps[]
            = {{&F::mnuPaste_Click, u"a|bcd"_qs}, {&F::mnuPaste_Click, u"ax|bcd"_qs},
                {&F::mnuPaste_Click, u"axx^b|cd"_qs}, {&F::mnuDel_Click, u"axx^x|cd"_qs},
                {&F::mnuDel_Click, u"axx^c|d"_qs}, {&F::mnuCut_Click, u"ax^x|d"_qs}};
        setMarked(u"abcd|"_qs);
        services.clipboardText = u"x"_qs;
        QStringList states;
        for (const auto& [command, before] : steps) {
            setMarked(before);
            states.append(text());
            (w.get()->*command)();
        }
        QCOMPARE(text(), u"axd"_qs);
        while (!states.isEmpty()) {
            w->mnuUnDo_Click();
            QCOMPARE(text(), states.takeLast());
        }
    }

    // Each save offers the name chosen last and replaces the whole file; a cancel writes nothing;
    // a failed save warns once and says why.
    void save()
    {
        QTemporaryDir dir;
        const QString first = dir.filePath(u"结果.txt"_qs);
        const QString second = dir.filePath(u"second.txt"_qs);
        const QString missing = dir.filePath(u"缺少的文件夹/result.txt"_qs);
        QVERIFY(writeFile(second, QByteArray(4096, 'x')));
        const QString offeredAtStart = w->CDlgSave.FileName;
        const auto save = [&](const QString& boxText, const std::optional<QString>& reply) {
            w->TxtOut->setPlainText(boxText);
            services.saveReplies.enqueue(reply);
            w->mnuSave_Click();
        };
        save(u"砾\u3000砾\r\n\u3000砾\u3000"_qs, first);
        QCOMPARE(
            readAll(first).toHex(' '), QByteArray("c0 f9 a1 a1 c0 f9 0d 0a a1 a1 c0 f9 a1 a1"));
        services.questionReplies.enqueue(true); // to write over the existing file
        save(u"\u00a0a\0\u2028b\r\n"_qs, second);
        save(u"cancelled"_qs, std::nullopt);
        QCOMPARE(readAll(second).toHex(' '), QByteArray("81 30 84 32 61 00 0d 0a 62 0d 0a"));
        QVERIFY(services.warnings.isEmpty());
        save(u"砾"_qs, missing);
        save(u"砾"_qs, std::nullopt);

        QCOMPARE(entriesBelow(dir.path()), QStringList({second, first}));
        QCOMPARE(services.warnings.size(), 1);
        QCOMPARE(services.warnings[0].first, u"保存失败"_qs);
        QCOMPARE(services.warnings[0].second,
            u"无法保存文件“%1”。\n文件夹“%2”不存在。"_qs.arg(QDir::toNativeSeparators(missing),
                QDir::toNativeSeparators(QFileInfo(missing).path())));
        QStringList offered;
        for (const CommonDialog& dialog : services.dialogsShown)
            offered.append(dialog.FileName);
        QCOMPARE(offered, QStringList({offeredAtStart, first, second, second, missing}));
    }

    // Choosing an existing file asks before it is written over, and "否" offers the dialog again;
    // the file this window saved last is written again without a question. Each step: the file
    // chosen ("-" cancels) and, for a question, the answer.
    void saveAsksBeforeWritingOver_data()
    {
        QTest::addColumn<QString>("steps"); // "file:answer …", answers Y or N
        QTest::addColumn<QString>("written"); // the files that hold the result afterwards
        QTest::addColumn<int>("questions");
        QTest::newRow("new file") << u"new"_qs << u"new"_qs << 0;
        QTest::newRow("existing, replaced") << u"old:Y"_qs << u"old"_qs << 1;
        QTest::newRow("existing, kept, then cancelled") << u"old:N -"_qs << QString() << 1;
        QTest::newRow("existing, kept, then a new one") << u"old:N new"_qs << u"new"_qs << 1;
        QTest::newRow("saved last, saved again") << u"new|new"_qs << u"new"_qs << 0;
        QTest::newRow("saved before another") << u"new|other:Y|new:Y"_qs << u"new other"_qs << 2;
    }
    void saveAsksBeforeWritingOver()
    {
        QFETCH(QString, steps);
        QFETCH(QString, written);
        QFETCH(int, questions);
        QTemporaryDir dir;
        QVERIFY(
            writeFile(dir.filePath(u"old"_qs), "old") && writeFile(dir.filePath(u"other"_qs), "x"));
        w->TxtOut->setPlainText(u"砾"_qs);
        for (const QString& save : steps.split(u'|')) {
            for (const QString& step : save.split(u' ')) {
                const QString file = step.section(u':', 0, 0);
                services.saveReplies.enqueue(
                    file == u"-" ? std::nullopt : std::optional(dir.filePath(file)));
                if (step.contains(u':'))
                    services.questionReplies.enqueue(step.endsWith(u'Y'));
            }
            w->mnuSave_Click();
        }
        QCOMPARE(services.questions.size(), questions);
        QStringList holding;
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files, QDir::Name))
            if (readAll(dir.filePath(name)) == QByteArray("\xc0\xf9"))
                holding.append(name);
        QCOMPARE(holding.join(u' '), written);
        if (questions)
            QCOMPARE(services.questions[0].second,
                u"“%1”已存在。\n要替换它吗？"_qs.arg(QDir::toNativeSeparators(
                    dir.filePath(steps.section(u':', 0, 0).section(u'|', -1)))));
    }
};

QTEST_MAIN(TestOutput)
#include "tst_output.moc"
