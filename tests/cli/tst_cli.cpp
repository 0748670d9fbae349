#include "output/resultfile.h"
#include "runtime/codepage.h"
#include "support/files.h"
#include "support/images.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;

// The companion run from a shell as a user runs it, $T standing for the program: its output, its
// messages, its exit status.
class TestCli : public QObject
{
    Q_OBJECT

    struct Run
    {
        int status;
        QByteArray out;
        QString err;
    };

    QTemporaryDir m_dir;

    // Run in the folder given, or in the one that holds crafted.png (4 x 2 pixels), wide.png (30 x
    // 12), text.txt (two lines) and s.ini (settings); missing.png is nowhere.
    Run run(const QString& command, const QString& folder = {}) const
    {
        QProcess process;
        process.setWorkingDirectory(folder.isEmpty() ? m_dir.path() : folder);
        process.start("sh", {"-c", command});
        const bool ended
            = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
        return {ended ? process.exitCode() : -1, process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("T", qgetenv("TESSARIN_CLI"));
        // Each pixel sits on a border of some rule: 128 is light in every mode; the
        // grey levels are 128, 217, 165, 0 above and 10, 100, 255, 83 below.
        const QRgb pixels[]
            = {qRgb(128, 128, 128), qRgb(127, 255, 255), qRgb(255, 127, 127), qRgb(0, 0, 0),
                qRgb(10, 10, 10), qRgb(100, 100, 100), qRgb(255, 255, 255), qRgb(200, 0, 200)};
        QVERIFY(painted({4, 2}, [&](int x, int y) {
            return pixels[y * 4 + x];
        }).save(m_dir.filePath("crafted.png")));
        QImage wide(30, 12, QImage::Format_RGB32);
        wide.fill(Qt::gray);
        QVERIFY(wide.save(m_dir.filePath("wide.png")));
        QVERIFY(writeFile(m_dir.filePath("text.txt"), "\xEF\xBB\xBF一\n二"));
        const QString ini = "[属性]\r\n图片宽=30abc\r\n图片高=7.5\r\n字号=1e1\r\n[设置]"
                            "\r\n处理方式=2\r\n背景图片=missing.png";
        QVERIFY(writeFile(m_dir.filePath("s.ini"), ToAnsi(ini)));
    }

    // Without text the tiled picture alone decides: 6 x 3 pixels over a 4 x 2 tile. The rows
    // expected are split at "|"; a line break inside a string is printed as CR LF too. The file
    // saved with -o holds what the window's save writes for the printed text.
    void modesFollowThePixels_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("expected");
        QTest::newRow("mode 1, trim") << "-m1 -S ' ' --trim"
                                      << "  ##|##  ##|  ##";
        QTest::newRow("K 129: grey 128 turns dark") << "-m 2 --threshold=129"
                                                    << "#..##.|##.###|#..##.";
        QTest::newRow("GB18030 only, a break inside a string")
            << "-D 😀 -S 'a\nb'"
            << "a\r\nb😀😀😀a\r\nb😀|😀😀a\r\nb😀😀😀|a\r\nb😀😀😀a\r\nb😀";
    }
    void modesFollowThePixels()
    {
        QFETCH(QString, options);
        QFETCH(QString, expected);
        const QString command = "$T -t '' -g crafted.png -W 6 -H 3 -D '#' -S . " + options;
        const Run printed = run(command);
        QCOMPARE(printed.err, QString());
        QCOMPARE(QString::fromUtf8(printed.out), "\r\n" + expected.replace(u'|', "\r\n"));
        QCOMPARE(run(command + " -o r.txt").status, 0);
        QCOMPARE(readAll(m_dir.filePath("r.txt")), ResultFileBytes(QString::fromUtf8(printed.out)));
    }

    // Each command prints W x H one-character strings, and what the other prints when there is
    // one. --fit keeps the sides given; the other follows the 30 x 12 picture with cells of the
    // strings' width (12 wide when neither is given).
    void commandsAgree_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("alike");
        QTest::addColumn<bool>("warns");
        const QString fit = "$T -t '' -g wide.png --fit ", ascii = " -D '#' -S .";
        QTest::newRow("half-width cells") << fit + "-W 15" + ascii << QSize(15, 3) << "" << false;
        QTest::newRow("full-width cells")
            << fit + "-W 15 -D 砾 -S 口" << QSize(15, 6) << "" << false;
        QTest::newRow("neither, 2.4 rounds to 2") << fit + ascii << QSize(12, 2) << "" << false;
        QTest::newRow("picture on standard input")
            << "cat wide.png | $T -t '' -g - --fit -W 15" + ascii << QSize(15, 3)
            << fit + "-W 15" + ascii << false;
        QTest::newRow("-o - prints the saved bytes")
            << "$T -W 5 -H 3 -o -" + ascii << QSize(5, 3)
            << "$T -W 5 -H 3 -o s.txt" + ascii + "; cat s.txt" << false;
        QTest::newRow("unlike widths warn") << "$T -W 4 -H 2 -D '#'" << QSize(4, 2) << "" << true;
        QTest::newRow("settings, the command line winning")
            << "$T --settings s.ini -W 5 -m 1" << QSize(5, 8) << "$T -W 5 -H 8 -s 10 -m 1" << false;
        QTest::newRow("text file")
            << "$T --text-file text.txt -H 24" << QSize(12, 24) << "$T -t '一\n二' -H 24" << false;
    }
    void commandsAgree()
    {
        QFETCH(QString, command);
        QFETCH(QSize, size);
        QFETCH(QString, alike);
        QFETCH(bool, warns);
        const Run result = run(command);
        QCOMPARE(result.status, 0);
        QCOMPARE(result.err.startsWith("tessarin-cli: warning: ") && result.err.count(u'\n') == 1,
            warns);
        QVERIFY2(warns || result.err.isEmpty(), qPrintable(result.err));
        const QStringList rows = QString::fromUtf8(result.out).split("\r\n").mid(1);
        QCOMPARE(rows.size(), size.height());
        for (const QString& row : rows)
            QCOMPARE(row.size(), size.width());
        if (!alike.isEmpty())
            QCOMPARE(result.out, run(alike).out);
    }

    // A bad option or value exits 2, what cannot be used exits 1; either way with one line naming
    // the option, and no output file is made or changed.
    void failuresSayWhyAndWriteNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("strict digits")
            << "-W12abc -o new.txt" << 2
            << "-W/--width: expected a whole number from 1 to 1024, got \"12abc\"";
        QTest::newRow("not UTF-8")
            << "-D \"$(printf 'a\\377b')\"" << 2
            << "-D/--display: expected UTF-8 text, got \"a\uFFFDb\" (not UTF-8)";
        QTest::newRow("endless pipe")
            << "--text-file /dev/stdin" << 2 << "--text-file: \"/dev/stdin\" holds more than 4 MiB";
        QTest::newRow("one file for both")
            << "-o old.txt --preview old.txt" << 2
            << "-o/--output, --preview: expected two different files";
        QTest::newRow("no picture")
            << "-g missing.png -o old.txt --preview new.png" << 1
            << "-g/--background: cannot read a picture from \"missing.png\"";
        QTest::newRow("output folder missing")
            << "-o no/new.txt" << 1 << "-o/--output: cannot write \"no/new.txt\"";
    }
    void failuresSayWhyAndWriteNothing()
    {
        QFETCH(QString, command);
        QFETCH(int, status);
        QFETCH(QString, message);
        QTemporaryDir folder;
        const QString old = folder.filePath("old.txt");
        QVERIFY(writeFile(old, "old"));
        // An endless pipe on standard input for every row.
        const Run result = run("yes 墨 | $T " + command, folder.path());
        QCOMPARE(result.status, status);
        QCOMPARE(result.out, QByteArray());
        QVERIFY2(result.err.startsWith("tessarin-cli: " + message) && result.err.endsWith(u'\n')
                && result.err.count(u'\n') == 1,
            qPrintable(result.err));
        QCOMPARE(entriesBelow(folder.path()), QStringList {old});
        QCOMPARE(readAll(old), QByteArray("old"));
    }
};

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
