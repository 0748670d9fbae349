#include "output/resultfile.h"
#include "support/files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace testsupport;
using Modes = QFileDevice::Permissions;
Q_DECLARE_METATYPE(WriteError)

class TestResultFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The text as the clipboard takes it, and the bytes a saved result holds.
    void lineBreaks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("lineFeeds");
        QTest::addColumn<QByteArray>("hex");

        const auto row = [](const char* name, QString text, QString lineFeeds, const char* hex) {
            QTest::newRow(name) << text << lineFeeds << QByteArray(hex);
        };
        row("empty", "", "", "");
        row("every kind of break", "a\r\nb\rc\nd\u2028e\u2029f", "a\nb\nc\nd\ne\nf",
            "61 0d0a 62 0d0a 63 0d0a 64 0d0a 65 0d0a 66");
        row("LF CR is two breaks", "a\n\rb", "a\n\nb", "61 0d0a 0d0a 62");
        row("CR CR LF is two breaks", "\r\r\n", "\n\n", "0d0a 0d0a");
        row("breaks at both ends, CR last", "\nA\r", "\nA\n", "0d0a 41 0d0a");
        row("default characters, no byte-order mark", "砾\u3000\n\u3000砾", "砾\u3000\n\u3000砾",
            "c0f9 a1a1 0d0a a1a1 c0f9");
        row("GB18030 only", "\u00a0\U0001f600", "\u00a0\U0001f600", "81308432 9439fc36");
    }
    void lineBreaks()
    {
        QFETCH(QString, text);
        QFETCH(QString, lineFeeds);
        QFETCH(QByteArray, hex);

        QCOMPARE(WithLineFeeds(text), lineFeeds);
        QCOMPARE(ResultFileBytes(text).toHex(' '), QByteArray::fromHex(hex).toHex(' '));
    }

    // The largest picture: 1024 rows of 1024 two-byte characters.
    void largestResult()
    {
        QStringList rows;
        for (int y = 0; y < 1024; ++y)
            rows.append(QString(1024, y % 2 ? QChar(0x3000) : QChar(u'砾')));
        const QByteArray bytes = ResultFileBytes(rows.join(QLatin1Char('\n')));
        QCOMPARE(bytes.size(), 1024 * 1024 * 2 + 1023 * 2);
        QCOMPARE(bytes.mid(2046, 6).toHex(' '), QByteArray("c0 f9 0d 0a a1 a1"));
    }

    // A write replaces the whole file and keeps its permissions; a failed one gives a reason and
    // changes nothing below the folder: no new file, no temporary file left. What is there first
    // holds 4096 bytes; "|" is a pipe nobody reads from, ".stray" a killed write's temporary
    // file. A file-size limit stands in for a full disk, which no test can mount as any user.
    void writeWholeFile_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("existing"); // a file, or a folder when it ends in /
        QTest::addColumn<Modes>("fileMode");
        QTest::addColumn<Modes>("folderMode");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("sizeLimit");
        QTest::addColumn<WriteError>("kind");

        const QByteArray result = QByteArray::fromHex("c0f9a1a10d0aa1a1c0f9");
        const Modes folder = ReadWrite | Enter;
        const auto row = [&](const char* name, QString target, QString existing, Modes fileMode,
                             Modes folderMode, QByteArray bytes, WriteError kind,
                             qint64 sizeLimit = RLIM_INFINITY) {
            QTest::newRow(name) << target << existing << fileMode << folderMode << bytes
                                << sizeLimit << kind;
        };
        const WriteError ok = WriteError::None;
        row("new file", "结果.txt", "", ReadWrite, folder, result, ok);
        row("emptied, no tail left", "a", "a", ReadWrite, folder, QByteArray(), ok);
        row("a killed write's stray taken over", "a", ".a.tessarin~", ReadWrite, folder, result,
            ok);
        row("missing folder", "a/b.txt", "", ReadWrite, folder, result, WriteError::NoFolder);
        row("folder is a file", "a/b.txt", "a", ReadWrite, folder, result, WriteError::NoFolder);
        row("target is a folder", "a", "a/", ReadWrite, folder, result, WriteError::NotAFile);
        row("read-only file", "a", "a", ReadOnly, folder, result, WriteError::NoPermission);
        row("file in a read-only folder", "a", "a", ReadWrite, ReadOnly | Enter, result,
            WriteError::NoPermission);
        row("pipe without a reader", "a", "|", ReadWrite, folder, result, WriteError::Other);
        row("device that takes all", "/dev/null", "", ReadWrite, folder, result, ok);
        row("full device", "/dev/full", "", ReadWrite, folder, result, WriteError::DiskFull);
        for (const int size : {300, 13'000, 131'000}) {
            row(qPrintable(QStringLiteral("no room for %1 bytes").arg(size)), "a", "a", ReadWrite,
                folder, QByteArray(size, 'r'), WriteError::Other, size / 2);
        }
    }
    void writeWholeFile()
    {
        QFETCH(QString, target);
        QFETCH(QString, existing);
        QFETCH(Modes, fileMode);
        QFETCH(Modes, folderMode);
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, sizeLimit);
        QFETCH(WriteError, kind);

        QTemporaryDir dir;
        const QString path = QDir::isAbsolutePath(target) ? target : dir.filePath(target);
        const QByteArray old(4096, 'x');
        if (existing.endsWith(u'/'))
            QVERIFY(QDir(dir.path()).mkdir(existing));
        else if (existing == u"|")
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0) == 0
                && QFile::setPermissions(path, ReadWrite));
        else if (!existing.isEmpty())
            QVERIFY(writeFile(dir.filePath(existing), old));
        const QStringList before = entriesBelow(dir.path());
        const auto fileType = [&] {
            const QFileInfo info(path);
            return info.isFile() ? 'f' : info.isDir() ? 'd' : info.exists() ? 'o' : '-';
        };
        const char typeBefore = fileType();

        const bool succeeds = kind == WriteError::None;
        bool written = !succeeds, writtenWithoutReason = !succeeds;
        QString error = QStringLiteral("untouched");
        WriteError reported = WriteError::Other;
        rlimit limit {};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit unlimited = limit;
        limit.rlim_cur = std::min(rlim_t(sizeLimit), limit.rlim_max);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        Modes modeBefore, modeAfter;
        const bool ran = runWithModes(path, fileMode, dir.path(), folderMode, [&] {
            modeBefore = QFileInfo(path).permissions();
            written = WriteWholeFile(path, bytes, &error, &reported);
            writtenWithoutReason = WriteWholeFile(path, bytes, nullptr);
            modeAfter = QFileInfo(path).permissions();
        });
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
        std::signal(SIGXFSZ, previous);
        if (!ran)
            QSKIP("this user writes into read-only files and folders anyway");
        QCOMPARE(written, succeeds);
        QCOMPARE(writtenWithoutReason, succeeds);
        QCOMPARE(reported, kind);
        QCOMPARE(error == u"untouched", succeeds); // a failure says why
        QVERIFY(!error.isEmpty());
        if (typeBefore != '-')
            QCOMPARE(fileType(), typeBefore); // a pipe or device is not replaced by a file
        if (succeeds && existing == target)
            QCOMPARE(modeAfter, modeBefore);
        if (QDir::isAbsolutePath(target))
            return;
        QCOMPARE(entriesBelow(dir.path()), succeeds ? QStringList {path} : before);
        if (succeeds)
            QCOMPARE(readAll(path).toHex(' '), bytes.toHex(' '));
        else if (QFileInfo(dir.filePath(existing)).isFile())
            QCOMPARE(readAll(dir.filePath(existing)), old);
    }
};

QTEST_MAIN(TestResultFile)
#include "tst_resultfile.moc"
