#include "output/resultfile.h"
#include "runtime/savefile.h"
#include "support/files.h"
#include "support/loadedwindow.h"
#include "window/ui/textboxes.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/prctl.h>
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

    // Where the bytes go ("%1": the program's own descriptor, open on the file for appending) and
    // what stands there: a file ("a!": in a folder its owner may not write), "|" a pipe (a reader,
    // if any, takes nothing; "name|" one so named), ".a.tessarin~" a killed write's temporary file
    // ("#": locked by a write going on), "->…" a link into a missing folder. A failure says why,
    // names the folder a link leads into, changes nothing; a size limit stands in for a full disk.
    void writes_data()
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
        row("another write of it going on", "a", ".a.tessarin~#", result, WriteError::Busy);
        row("read-only file", "a", "a", result, WriteError::NoPermission);
        row("written in place, no temporary file allowed", "a", "a!", result, ok);
        row("/dev/fd/N appending a byte", "/dev/fd/%1", "a", "\n", ok);
        row("/proc/self/fd/N appending", "/proc/self/fd/%1", "a", result, ok);
        row("pipe without a reader", "a", "|", result, WriteError::NoReader);
        row("a pipe where the temporary file goes", "a", ".a.tessarin~|", result,
            WriteError::Other);
        row("pipe whose reader takes nothing", "a", "|", QByteArray(1 << 20, 'b'),
            WriteError::ReaderStalled);
        row("link into a missing folder", "a", "->gone/deeper/a", result, WriteError::NoFolder);
        row("full device", "/dev/full", "", result, WriteError::DiskFull);
        // Under Qt's buffer size, where its own save file reported success with nothing written.
        row("no room for the whole text", "a", "a", QByteArray(300, 'r'), WriteError::Other, 150);
    }
    void writes()
    {
        QFETCH(QString, target);
        QFETCH(QString, existing);
        QFETCH(QByteArray, bytes);
        QFETCH(WriteError, kind);
        QFETCH(qint64, sizeLimit);
        // Root could write into read-only files and folders; nobody is a user like any other.
        const bool root = ::geteuid() == 0;
        QVERIFY(!root || (::setegid(65534) == 0 && ::seteuid(65534) == 0));
        ::prctl(PR_SET_DUMPABLE, 1); // a change of user takes /proc/self/fd from the process
        const auto asBefore = qScopeGuard([&] {
            QVERIFY(!root || (::seteuid(0) == 0 && ::setegid(0) == 0));
            ::prctl(PR_SET_DUMPABLE, 1);
        });
        const bool lockedFolder = existing.endsWith(u'!'), inUse = existing.endsWith(u'#');
        existing.remove(u'!').remove(u'#');
        const int mode = kind == WriteError::NoPermission ? 0444 : 0600; // of the existing file
        QTemporaryDir dir;
        const bool descriptor = target.contains(u'%');
        const QString file = QDir(dir.path()).filePath(descriptor ? existing : target);
        const QByteArray native = QFile::encodeName(file);
        const QByteArray old(4096, 'x');
        int fd = -1; // the pipe's reader, or the file opened for appending
        const auto closing = qScopeGuard([&] { ::close(fd); }); // -1: nothing to close
        if (existing.endsWith(u'|')) { // at the target, or where the temporary file goes
            const QByteArray pipe
                = existing == u"|" ? native : QFile::encodeName(dir.filePath(existing.chopped(1)));
            QCOMPARE(::mkfifo(pipe.constData(), 0600), 0);
            if (kind == WriteError::ReaderStalled)
                fd = ::open(pipe.constData(), O_RDONLY | O_NONBLOCK);
        } else if (existing.startsWith(u"->")) {
            QVERIFY(QFile::link(dir.filePath(existing.mid(2)), file));
        } else if (!existing.isEmpty()) {
            const QByteArray path = QFile::encodeName(dir.filePath(existing));
            QVERIFY(writeFile(path, old) && ::chmod(path.constData(), mode) == 0);
            QVERIFY(!inUse || ::flock(fd = ::open(path.constData(), O_RDONLY), LOCK_EX) == 0);
        }
        if (!(mode & 0200) && ::faccessat(AT_FDCWD, native.constData(), W_OK, AT_EACCESS) == 0)
            QSKIP("this user writes into read-only files anyway");
        if (descriptor)
            fd = ::open(native.constData(), O_WRONLY | O_APPEND);
        const QByteArray folder = QFile::encodeName(dir.path());
        QVERIFY(!lockedFolder || ::chmod(folder.constData(), 0500) == 0);
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
        const auto openFiles = [] { return QDir(u"/proc/self/fd"_qs).count(); };
        const uint opened = openFiles();
        const WriteResult written = WriteFile(descriptor ? target.arg(fd) : file, bytes, 200);
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
        ::chmod(folder.constData(), 0700);
        QCOMPARE(openFiles(), opened); // every save alike, or the window runs out of descriptors
        sigset_t blocked;
        QVERIFY(::pthread_sigmask(SIG_BLOCK, nullptr, &blocked) == 0
            && !sigismember(&blocked, SIGPIPE));
        QCOMPARE(written.kind, kind);
        if (kind == WriteError::ReaderStalled) // the window's own deadline, in whole seconds
            QVERIFY(WriteErrorChinese(written).contains(u"在 3 秒内"_qs));
        QCOMPARE(written.systemText.isEmpty(), written.ok()); // a failure says why
        if (kind == WriteError::NoFolder)
            QCOMPARE(written.folder, dir.filePath(u"gone/deeper"_qs));
        const mode_t mask = ::umask(0);
        ::umask(mask);
        // A pipe or device stays one; a file keeps its mode, a new one has what the mask allows.
        if (modeBefore || existing.isEmpty())
            QCOMPARE(modeOf(),
                modeBefore         ? modeBefore
                    : written.ok() ? S_IFREG | (0666 & ~mask)
                                   : 0);
        if (!descriptor && QDir::isAbsolutePath(target)) // a device
            return;
        QCOMPARE(entriesBelow(dir.path()), written.ok() ? QStringList {file} : before);
        if (written.ok())
            QCOMPARE(readAll(file), descriptor ? old + bytes : bytes);
        else if (QFileInfo(dir.filePath(existing)).isFile())
            QCOMPARE(readAll(dir.filePath(existing)), old);
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
        const QString lines(300, u'\n'); // the caret then out of sight unless brought into it
        row("cut across lines", &F::mnuCut_Click, "a^b" + lines + "e|f" + lines, "x", "a|f" + lines,
            "b" + lines + "e");
        row("delete", &F::mnuDel_Click, "墨^砾版|", "x", "墨|", "x");
        const QString pasted = "砾" + nul + "\r\n\u3000\n" + nul;
        row("paste over a selection, CR LF one break, NULs kept", &F::mnuPaste_Click, "墨^砾版|",
            pasted, "墨砾" + nul + "\n\u3000\n" + nul + "|", pasted);
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

        setMarked(before);
        services.clipboardText = clipboard.isNull() ? std::nullopt : std::optional(clipboard);
        (w.get()->*command)();
        QTEST(marked(), "after");
        QVERIFY(w->TxtOut->viewport()->rect().contains(w->TxtOut->cursorRect()));
        QTEST(services.clipboardText.value_or(QString()), "copied");
    }

    // Each command is one step of the box's undo, even where the box would merge typed keys.
    void undoStepByStep()
    {
        const std::pair<Command, QString> steps[]
            = {{&F::mnuPaste_Click, u"a|bcd"_qs}, {&F::mnuPaste_Click, u"ax|bcd"_qs},
                {&F::mnuPaste_Click, u"axx^b|cd"_qs}, {&F::mnuDel_Click, u"axx^x|cd"_qs},
                {&F::mnuDel_Click, u"axx^c|d"_qs}, {&F::mnuCut_Click, u"ax^x|d"_qs}};
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
    // a failed save warns once and says why. Choosing an existing file asks first, and "否" offers
    // the dialog again; the file this window saved last is written again without a question.
    void save()
    {
        QTemporaryDir dir;
        const QString first = dir.filePath(u"结果.txt"_qs), second = dir.filePath(u"second.txt"_qs);
        const QString missing = dir.filePath(u"缺少的文件夹/result.txt"_qs);
        QVERIFY(writeFile(second, QByteArray(4096, 'x')));
        const QString offeredAtStart = w->CDlgSave.FileName;
        const auto save = [&](const QString& boxText, const std::optional<QString>& reply) {
            w->TxtOut->setPlainText(boxText);
            services.saveReplies.enqueue(reply);
            w->mnuSave_Click();
        };
        save(u"砾\u3000砾\r\n\u3000砾\u3000"_qs, first);
        services.questionReplies.enqueue(true);
        save(u"\u00a0a\0\u2028b\r\n"_qs, second);
        save(u"cancelled"_qs, std::nullopt);
        QCOMPARE(readAll(second).toHex(' '), QByteArray("81 30 84 32 61 00 0d 0a 62 0d 0a"));
        save(u"砾"_qs, second);
        services.saveReplies.enqueue(first); // saved, but not last: asked about, and kept
        services.questionReplies.enqueue(false);
        save(u"砾"_qs, missing);
        save(u"砾"_qs, second); // still the file saved last, though a save failed since

        QCOMPARE(entriesBelow(dir.path()), QStringList({second, first}));
        QCOMPARE(readAll(first).toHex(' '), "c0 f9 a1 a1 c0 f9 0d 0a a1 a1 c0 f9 a1 a1");
        QCOMPARE(readAll(second), QByteArray("\xc0\xf9"));
        const auto asking = [](const QString& file) {
            return std::pair(u"确认另存为"_qs,
                u"“%1”已存在。\n要替换它吗？"_qs.arg(QDir::toNativeSeparators(file)));
        };
        QCOMPARE(services.questions, QList({asking(second), asking(first)}));
        QCOMPARE(services.warnings,
            QList({std::pair(u"保存失败"_qs,
                u"无法保存文件“%1”。\n文件夹“%2”不存在。"_qs.arg(QDir::toNativeSeparators(missing),
                    QDir::toNativeSeparators(QFileInfo(missing).path())))}));
        QStringList offered;
        for (const CommonDialog& dialog : services.dialogsShown)
            offered.append(dialog.FileName);
        QCOMPARE(
            offered, QStringList({offeredAtStart, first, second, second, second, first, missing}));
    }
};

QTEST_MAIN(TestOutput)
#include "tst_output.moc"
