#include "runtime/codepage.h"
#include "support/files.h"
#include "support/images.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;

// The companion ($T) run from a shell as a user runs it: its output, messages and exit status.
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

    // Run in the folder given or in the one with crafted.png (2 x 2), wide.png (30 x 12), s.ini.
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
        qputenv("T", qgetenv("TESSARIN_CLI"));
        // Greys 128 and 129 in a chequer, light in the faster modes alike.
        const auto chequer
            = [](int x, int y) { return qRgb(128, 128, 128) + (x + y) % 2 * 0x010101; };
        QVERIFY(painted({2, 2}, chequer).save(m_dir.filePath("crafted.png")));
        QVERIFY(painted({30, 12}, chequer).save(m_dir.filePath("wide.png")));
        const QString ini
            = u"[属性]\n图片宽=9\n图片高=7.5\n字号=1e1\n粗体=1\n斜体=1\n下划线=1\n删除线=1\n"
              u"[设置]\n处理方式=2\n背景图片=crafted.png"_qs;
        QVERIFY(writeFile(m_dir.filePath("s.ini"), ToAnsi(ini)));
    }

    // Each command prints W x H one-character strings, and what the other prints if given. --fit
    // keeps the width; the height follows the 30 x 12 picture with cells of the strings' width.
    void commandsAgree_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("alike");
        const QString ascii = " -D '#' -S .";
        // Without text the picture tiled over 3 x 3 decides; grey 128 alone is dark at K 129.
        QTest::newRow("slow mode, saved as the window saves")
            << "$T -t '' -g crafted.png -W 3 -H 3 -m 2 -k 129" + ascii + " -o r.txt && cat r.txt"
            << QSize(3, 3) << "printf '\\r\\n#.#\\r\\n.#.\\r\\n#.#'";
        // Rows of their own widths: the ruler, its empty line, the rows without trailing blanks.
        QTest::newRow("ruler and trim")
            << "$T -t '' -g crafted.png -W 3 -H 3 -m 2 -k 129 -D '#' -S ' ' --keep-width --trim"
            << QSize() << "printf '\\r\\nTTT\\r\\n\\r\\n# #\\r\\n #\\r\\n# #'";
        QTest::newRow("help, version, fonts; U+FFFD typed; no display at all")
            << "$T --help >help && grep -q -- '-t, --text TEXT  ' help && $T --version && $T -t '' "
               "--list-fonts | grep -q . && env -u QT_QPA_PLATFORM -u DISPLAY $T -t '�' >/dev/null"
            << QSize() << "";
        QTest::newRow("the strings' widths warned of; a PNG preview on standard output")
            << "$T -D 砾 -S . 2>&1 >/dev/null | grep -q '2 columns and -S/--space 1 column,' && "
               "$T -o /dev/null --preview - | head -c 4 | grep -q PNG"
            << QSize() << "";
        QTest::newRow("the size and each style count, none on by default")
            << "for o in '-s 20' -b -i -u -d; do"
               " [ \"$($T -H 16 $o)\" != \"$($T -H 16)\" ] || exit 1; done"
            << QSize() << "";
        QTest::newRow("a line break inside either string, as CR LF")
            << "m() { $T -t '' -g crafted.png -W 2 -H 1 -m 2 -k 129 \"$@\"; }; m -D \"$(printf "
               "'a\\nb')\" -S cd && m -D ab -S \"$(printf 'c\\nd')\""
            << QSize() << "printf '\\r\\na\\r\\nbcd\\r\\nabc\\r\\nd'";
        QTest::newRow("empty settings") << "$T --settings /dev/null" << QSize(12, 12) << "$T";
        QTest::newRow("the built-in background, partly dark at K 240")
            << "$T -t '' -W 4 -H 2 -m 2 -k 240" + ascii << QSize(4, 2)
            << "printf '\\r\\n#...\\r\\n..#.'";
        QTest::newRow("text from standard input")
            << "printf 砾 | $T --text-file -" << QSize(12, 12) << "$T -t 砾";
        QTest::newRow("the fastest mode named") << "$T -t '' -g crafted.png -W 3 -H 3 -m 0"
                + ascii << QSize(3, 3) << "$T -t '' -g crafted.png -W 3 -H 3" + ascii;
        QTest::newRow("--fit, full-width cells, a control character of no width")
            << "$T -t '' -g wide.png --fit -W 15 -D \"$(printf '\\a砾')\" -S 口 | tr -d '\\a'"
            << QSize(15, 6) << "";
        QTest::newRow("picture on standard input") << "cat wide.png | $T -t '' -g - --fit -W 15"
                + ascii << QSize(15, 3) << "$T -t '' -g wide.png --fit -W 15" + ascii;
        QTest::newRow("settings, the command line winning")
            << "$T --settings s.ini -m 1" << QSize(9, 8)
            << "$T -W 9 -H 8 -s 10 -b -i -u -d -m 1 -g crafted.png";
        QTest::newRow("settings from a stream")
            << "cat s.ini | $T --settings - -H 14 -k 129" << QSize(9, 14)
            << "$T -W 9 -H 14 -s 10 -b -i -u -d -m 2 -k 129 -g crafted.png";
        QTest::newRow("output through /dev/stdout into a pipe") << "$T -W 4 -H 2" + ascii
                + " -o /dev/stdout | cat" << QSize(4, 2) << "$T -W 4 -H 2" + ascii;
    }
    void commandsAgree()
    {
        QFETCH(QString, command);
        QFETCH(QSize, size);
        QFETCH(QString, alike);
        const Run result = run(command);
        QCOMPARE(result.status, 0);
        QCOMPARE(result.err, QString());
        const QStringList rows = QString::fromUtf8(result.out).split("\r\n").mid(1);
        QCOMPARE(rows.size(), size.isValid() ? size.height() : rows.size());
        for (const QString& row : rows)
            QCOMPARE(row.size(), size.isValid() ? size.width() : row.size());
        if (!alike.isEmpty())
            QCOMPARE(result.out, run(alike).out);
    }

    // A bad option or value exits 2, what cannot be used exits 1; either way with one line naming
    // the option, no output file made or changed, and the endless standard input left unread.
    void failuresSayWhyAndWriteNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* name, const char* command, int status, const char* why) {
            QTest::newRow(name) << command << status << why;
        };
        row("a value for a switch", "--trim=1 -o new.txt", 2,
            "--trim: expected no value, got \"1\"");
        row("an unknown short option", "-Z -o new.txt", 2, "unknown option \"-Z\"; see --help");
        row("no size of nought", "-s 0 -o new.txt", 2,
            "-s/--size: expected a whole number from 1 to 999, got \"0\"");
        row("strict digits, a line break in one line", "-W \"$(printf '12\\nabc')\" -o new.txt", 2,
            "-W/--width: expected a whole number from 1 to 1024, got \"12 abc\"");
        row("standard output full", "-W 1 >/dev/full", 1, "cannot write the result");
        row("not UTF-8", "-t \"$(printf '\\377')\" -o new.txt", 2,
            "-t/--text: expected UTF-8 text, got \"\uFFFD\" (not UTF-8)");
        row("last value missing", "-o new.txt --width", 2,
            "-W/--width: expected a whole number from 1 to 1024, got nothing");
        row("a group's last letter wanting a value", "-o new.txt -bW", 2,
            "-W/--width: expected a whole number from 1 to 1024, got nothing");
        row("one file for both", "-o old.txt --preview old.txt", 2,
            "-o/--output, --preview: expected two different files, got \"old.txt\" for both");
        row("output folder missing", "-o no/new.txt", 1,
            "-o/--output: cannot write \"no/new.txt\" (No such file or directory)");
        row("an unreadable source", "--text-file /proc/self/mem", 2,
            "--text-file: expected a readable UTF-8 file, got \"/proc/self/mem\" (Input/output "
            "error)");
        row("source a folder", "--text-file . -o new.txt", 2,
            "--text-file: expected a readable UTF-8 file, got \".\" (a folder)");
        row("background a folder", "-g . -o new.txt", 1,
            "-g/--background: cannot use \".\" as a picture: a folder, not a picture file");
        row("background a stream by name", "-g /dev/stdin -o new.txt", 1,
            "-g/--background: cannot use \"/dev/stdin\" as a picture: not a regular file; use "
            "-g - to read a stream");
        row("endless text", "--text-file - -o new.txt", 2,
            "--text-file: standard input holds more than 4 MiB; stopped reading");
        row("endless settings", "--settings - -o new.txt", 2,
            "--settings: standard input holds more than 16 MiB; stopped reading");
        row("endless picture", "-g - -o new.txt", 2,
            "-g/--background: standard input holds more than 256 MiB; stopped reading");
    }
    void failuresSayWhyAndWriteNothing()
    {
        QFETCH(QString, command);
        QFETCH(QString, message);
        QTemporaryDir folder;
        const QString old = folder.filePath("old.txt");
        QVERIFY(writeFile(old, "old"));
        const Run result = run("yes 墨 | $T " + command, folder.path());
        QTEST(result.status, "status");
        QCOMPARE(result.out, QByteArray());
        QCOMPARE(result.err, "tessarin-cli: " + message + u'\n');
        QCOMPARE(entriesBelow(folder.path()), QStringList {old});
        QCOMPARE(readAll(old), QByteArray("old"));
    }
};

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
