#include "output/resultfile.h"
#include "support/files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;
using Modes = QFileDevice::Permissions;

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

    // A write replaces the whole file; a failed one gives a reason and changes nothing below the
    // folder: no new file, no temporary file left. What is there first holds 4096 bytes.
    void writeWholeFile_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("existing"); // a file, or a folder when it ends in /
        QTest::addColumn<Modes>("fileMode");
        QTest::addColumn<Modes>("folderMode");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("succeeds");

        const QByteArray result = QByteArray::fromHex("c0f9a1a10d0aa1a1c0f9");
        const Modes folder = ReadWrite | Enter;
        const auto row = [&](const char* name, QString target, QString existing, Modes fileMode,
                             Modes folderMode, QByteArray bytes, bool ok) {
            QTest::newRow(name) << target << existing << fileMode << folderMode << bytes << ok;
        };
        row("new file", "结果.txt", "", ReadWrite, folder, result, true);
        row("emptied, no tail left", "a", "a", ReadWrite, folder, QByteArray(), true);
        row("missing folder", "a/b.txt", "", ReadWrite, folder, result, false);
        row("folder is a file", "a/b.txt", "a", ReadWrite, folder, result, false);
        row("target is a folder", "a", "a/", ReadWrite, folder, result, false);
        row("read-only file", "a", "a", ReadOnly, folder, result, false);
        row("file in a read-only folder", "a", "a", ReadWrite, ReadOnly | Enter, result, false);
    }
    void writeWholeFile()
    {
        QFETCH(QString, target);
        QFETCH(QString, existing);
        QFETCH(Modes, fileMode);
        QFETCH(Modes, folderMode);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, succeeds);

        QTemporaryDir dir;
        const QString path = dir.filePath(target);
        const QByteArray old(4096, 'x');
        if (existing.endsWith(u'/'))
            QVERIFY(QDir(dir.path()).mkdir(existing));
        else if (!existing.isEmpty())
            QVERIFY(writeFile(dir.filePath(existing), old));
        const QStringList before = entriesBelow(dir.path());

        bool written = !succeeds, writtenWithoutReason = !succeeds;
        QString error = QStringLiteral("untouched");
        if (!runWithModes(path, fileMode, dir.path(), folderMode, [&] {
                written = WriteWholeFile(path, bytes, &error);
                writtenWithoutReason = WriteWholeFile(path, bytes, nullptr);
            }))
            QSKIP("this user writes into read-only files and folders anyway");
        QCOMPARE(written, succeeds);
        QCOMPARE(writtenWithoutReason, succeeds);
        QCOMPARE(error == u"untouched", succeeds); // a failure says why
        QVERIFY(!error.isEmpty());
        QCOMPARE(entriesBelow(dir.path()), succeeds ? QStringList {path} : before);
        if (succeeds)
            QCOMPARE(readAll(path).toHex(' '), bytes.toHex(' '));
        else if (QFileInfo(dir.filePath(existing)).isFile())
            QCOMPARE(readAll(dir.filePath(existing)), old);
    }
};

QTEST_MAIN(TestResultFile)
#include "tst_resultfile.moc"
