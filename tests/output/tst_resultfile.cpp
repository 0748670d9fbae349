#include "output/resultfile.h"
#include "support/files.h"
#include "support/testregistry.h"

#include <QDirIterator>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <pwd.h>
#include <unistd.h>

using namespace testsupport;

namespace { } // namespace

class TestResultFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lineFeeds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("no break") << "砾\u3000砾"
                                  << "砾\u3000砾";
        QTest::newRow("LF") << "a\nb"
                            << "a\nb";
        QTest::newRow("CR LF") << "a\r\nb"
                               << "a\nb";
        QTest::newRow("lone CR") << "a\rb"
                                 << "a\nb";
        QTest::newRow("paragraph separator") << "a\u2029b"
                                             << "a\nb";
        QTest::newRow("line separator") << "a\u2028b"
                                        << "a\nb";
        QTest::newRow("LF CR is two breaks") << "a\n\rb"
                                             << "a\n\nb";
        QTest::newRow("CR CR LF is two breaks") << "a\r\r\nb"
                                                << "a\n\nb";
        QTest::newRow("CR at the end") << "a\r"
                                       << "a\n";
        QTest::newRow("breaks only") << "\r\n\u2029\n"
                                     << "\n\n\n";
        QTest::newRow("no-break space stays") << "a\u00a0b"
                                              << "a\u00a0b";
    }
    void lineFeeds()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);

        QCOMPARE(WithLineFeeds(text), expected);
    }

    void resultFileBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("hex");

        QTest::newRow("empty") << "" << QByteArray("");
        QTest::newRow("ASCII") << "Ab 1" << QByteArray("41622031");
        QTest::newRow("LF") << "a\nb" << QByteArray("61 0d0a 62");
        QTest::newRow("CR LF stays one break") << "a\r\nb" << QByteArray("61 0d0a 62");
        QTest::newRow("lone CR") << "a\rb" << QByteArray("61 0d0a 62");
        QTest::newRow("paragraph separator") << "a\u2029b" << QByteArray("61 0d0a 62");
        QTest::newRow("line separator") << "a\u2028b" << QByteArray("61 0d0a 62");
        QTest::newRow("LF CR is two breaks") << "a\n\rb" << QByteArray("61 0d0a 0d0a 62");
        QTest::newRow("CR CR LF is two breaks") << "\r\r\n" << QByteArray("0d0a 0d0a");
        QTest::newRow("breaks at both ends") << "\nA\n" << QByteArray("0d0a 41 0d0a");
        QTest::newRow("default characters")
            << "砾\u3000\n\u3000砾" << QByteArray("c0f9 a1a1 0d0a a1a1 c0f9");
        QTest::newRow("no byte-order mark before Chinese") << "墨" << QByteArray("c4ab");
        QTest::newRow("GB18030 only: no-break space")
            << "\u3000\u00a0" << QByteArray("a1a1 81308432");
        QTest::newRow("GB18030 only: supplementary") << "\U0001f600\n"
                                                     << QByteArray("9439fc36 0d0a");
    }
    void resultFileBytes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, hex);

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
        QCOMPARE(bytes.count("\r\n"), 1023);
        QCOMPARE(bytes.count('\n'), 1023);
        QCOMPARE(bytes.mid(2046, 6).toHex(' '), QByteArray("c0 f9 0d 0a a1 a1"));
    }

    void writeWholeFile_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("bytes");

        const QByteArray result = QByteArray::fromHex("c0f9a1a10d0aa1a1c0f9");
        QTest::newRow("new file") << false << QByteArray() << result;
        QTest::newRow("new file, no bytes") << false << QByteArray() << QByteArray();
        QTest::newRow("longer file leaves no tail") << true << QByteArray(4096, 'x') << result;
        QTest::newRow("shorter file") << true << QByteArray("ab") << result;
        QTest::newRow("emptied") << true << result << QByteArray();
    }
    void writeWholeFile()
    {
        QFETCH(bool, exists);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, bytes);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("结果.txt"));
        if (exists)
            QVERIFY(writeFile(path, before));

        QString error = QStringLiteral("untouched");
        QVERIFY(WriteWholeFile(path, bytes, &error));
        QCOMPARE(error, QStringLiteral("untouched"));
        QCOMPARE(readAll(path).toHex(' '), bytes.toHex(' '));
        QCOMPARE(entriesBelow(dir.path()), QStringList {path});
    }

    // A read-only file keeps its bytes, and so does a file in a folder that takes no new file,
    // where the replacement would have to be made. No temporary file stays behind.
    void readOnlyTarget_data()
    {
        QTest::addColumn<QFileDevice::Permissions>("fileMode");
        QTest::addColumn<QFileDevice::Permissions>("folderMode");

        QTest::newRow("read-only file") << ReadOnly << (ReadWrite | Enter);
        QTest::newRow("file in a read-only folder") << ReadWrite << (ReadOnly | Enter);
    }
    void readOnlyTarget()
    {
        QFETCH(QFileDevice::Permissions, fileMode);
        QFETCH(QFileDevice::Permissions, folderMode);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("result.txt"));
        const QByteArray before(100, 'x');
        QVERIFY(writeFile(path, before));
        QVERIFY(QFile::setPermissions(path, fileMode));
        QVERIFY(QFile::setPermissions(dir.path(), folderMode));
        const auto restore = qScopeGuard([&] {
            QFile::setPermissions(dir.path(), ReadWrite | Enter);
            QFile::setPermissions(path, ReadWrite);
        });

        bool written = false;
        QString error;
        {
            const UnprivilegedUser user;
            const QByteArray file = QFile::encodeName(path);
            const QByteArray folder = QFile::encodeName(dir.path());
            if (::access(file.constData(), W_OK) == 0 && ::access(folder.constData(), W_OK) == 0)
                QSKIP("this user writes into read-only files and folders anyway");
            written = WriteWholeFile(path, QByteArray("new"), &error);
        }

        QVERIFY(!written);
        QVERIFY2(!error.isEmpty(), "no reason given");
        QCOMPARE(readAll(path), before);
        QCOMPARE(entriesBelow(dir.path()), QStringList {path});
    }

    void unwritablePath_data()
    {
        QTest::addColumn<QString>("target"); // below the temporary folder
        QTest::addColumn<QString>("plainFile"); // created there first, when not empty
        QTest::addColumn<QString>("folder"); // created there first, when not empty

        QTest::newRow("missing folder") << "missing/result.txt"
                                        << ""
                                        << "";
        QTest::newRow("folder is a file") << "plain.txt/result.txt"
                                          << "plain.txt"
                                          << "";
        QTest::newRow("target is a folder") << "sub"
                                            << ""
                                            << "sub";
        QTest::newRow("folder of the target missing two levels") << "a/b/result.txt"
                                                                 << ""
                                                                 << "";
    }
    void unwritablePath()
    {
        QFETCH(QString, target);
        QFETCH(QString, plainFile);
        QFETCH(QString, folder);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        if (!plainFile.isEmpty())
            QVERIFY(writeFile(dir.filePath(plainFile), "keep"));
        if (!folder.isEmpty())
            QVERIFY(QDir(dir.path()).mkdir(folder));
        const QStringList before = entriesBelow(dir.path());

        QString error;
        QVERIFY(!WriteWholeFile(dir.filePath(target), QByteArray("abc"), &error));
        QVERIFY2(!error.isEmpty(), "no reason given");
        QCOMPARE(entriesBelow(dir.path()), before);
        if (!plainFile.isEmpty())
            QCOMPARE(readAll(dir.filePath(plainFile)), QByteArray("keep"));
    }

    void reasonIsOptional()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(!WriteWholeFile(dir.filePath(QStringLiteral("missing/x.txt")), "abc", nullptr));
        QVERIFY(WriteWholeFile(dir.filePath(QStringLiteral("x.txt")), "abc", nullptr));
        QCOMPARE(readAll(dir.filePath(QStringLiteral("x.txt"))), QByteArray("abc"));
    }
};

TESSARIN_TEST(TestResultFile)
#include "tst_resultfile.moc"
