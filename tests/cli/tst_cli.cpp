#include "output/resultfile.h"
#include "runtime/codepage.h"
#include "support/files.h"
#include "support/images.h"

#include <QCollator>
#include <QFontDatabase>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

using namespace testsupport;

// The companion run as a user runs it: a process, its output, its exit status.
class TestCli : public QObject
{
    Q_OBJECT

    struct Run
    {
        int status = -1;
        QByteArray out;
        QByteArray err;
    };

    QTemporaryDir m_dir;
    QString m_picture;
    QByteArray m_defaults;

    // %1 stands for the crafted picture, %2 for a file that does not exist, %3 for a fresh
    // folder and %4 for a text file of two lines.
    QString expanded(QString text, const QString& folder = {}) const
    {
        return text.replace(u"%1"_qs, m_picture)
            .replace(u"%2"_qs, m_dir.filePath(u"missing.png"_qs))
            .replace(u"%3"_qs, folder)
            .replace(u"%4"_qs, m_dir.filePath(u"text.txt"_qs));
    }

    // Arguments as a shell splits them, double quotes kept together, each expanded.
    QStringList arguments(const QString& command, const QString& folder = {}) const
    {
        QStringList split = QProcess::splitCommand(command);
        for (QString& argument : split)
            argument = expanded(argument, folder);
        return split;
    }

    static Run run(const QStringList& arguments)
    {
        QProcess process;
        process.start(qEnvironmentVariable("TESSARIN_CLI"), arguments);
        Run result;
        if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
            result.status = process.exitCode();
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // Each pixel sits on a border of some rule: 128 is light in every mode; the
        // grey levels are 128, 217, 165, 0 above and 10, 100, 255, 83 below.
        const QRgb pixels[]
            = {qRgb(128, 128, 128), qRgb(127, 255, 255), qRgb(255, 127, 127), qRgb(0, 0, 0),
                qRgb(10, 10, 10), qRgb(100, 100, 100), qRgb(255, 255, 255), qRgb(200, 0, 200)};
        const QImage picture = painted({4, 2}, [&](int x, int y) { return pixels[y * 4 + x]; });
        m_picture = m_dir.filePath(u"crafted.png"_qs);
        QVERIFY(picture.save(m_picture));
        QVERIFY(writeFile(m_dir.filePath(u"text.txt"_qs), "\xEF\xBB\xBF一\n二"));
        const Run defaults = run({});
        QCOMPARE(defaults.status, 0);
        m_defaults = defaults.out;
    }

    // Without text the tiled picture alone decides: 6 x 3 pixels over a 4 x 2 tile. The rows
    // expected are split at "|"; a line break inside a string is printed as CR LF too.
    void modesFollowThePixels_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("expected");
        QTest::newRow("mode 0") << u"-m 0 -k 16"_qs << u".###.#|##.###|.###.#"_qs;
        QTest::newRow("mode 1") << u"-m1"_qs << u"..##..|##..##|..##.."_qs;
        QTest::newRow("K 128") << u"-m 2"_qs << u"...#..|##.###|...#.."_qs;
        QTest::newRow("K 16") << u"--mode=2 -k 16"_qs << u"...#..|#...#.|...#.."_qs;
        QTest::newRow("K 129: grey 128 turns dark")
            << u"-m 2 --threshold 129"_qs << u"#..##.|##.###|#..##."_qs;
        QTest::newRow("K 240") << u"-m 2 -k240"_qs << u"######|##.###|######"_qs;
        QTest::newRow("trim drops trailing blanks")
            << u"-m 1 -S \" \" --trim"_qs << u"  ##|##  ##|  ##"_qs;
        QTest::newRow("ruler counts GBK bytes")
            << u"-D 砾 --keep-width"_qs << u"TTTTTTTTTTT||.砾砾砾.砾|砾砾.砾砾砾|.砾砾砾.砾"_qs;
        QTest::newRow("GB18030 only, and a break inside a string")
            << u"-D \U0001F600 -S \"a\nb\""_qs
            << u"a\r\nb😀😀😀a\r\nb😀|😀😀a\r\nb😀😀😀|a\r\nb😀😀😀a\r\nb😀"_qs;
    }
    // The file saved with -o holds what the window's save writes for the printed text; a
    // longer file already there leaves no tail behind.
    void modesFollowThePixels()
    {
        QFETCH(QString, options);
        QFETCH(QString, expected);
        const QStringList all
            = QStringList {"-t", ""} + arguments(u"-g %1 -W 6 -H 3 -D # -S . "_qs + options);
        const Run printed = run(all);
        QCOMPARE(printed.err, QByteArray());
        QCOMPARE(printed.status, 0);
        QCOMPARE(QString::fromUtf8(printed.out), u"\r\n"_qs + expected.replace(u'|', u"\r\n"_qs));

        QTemporaryDir folder;
        const QString path = folder.filePath(u"result.txt"_qs);
        QVERIFY(writeFile(path, QByteArray(printed.out.size() * 2, 'x')));
        const Run saved = run(all + QStringList {"-o", path});
        QCOMPARE(saved.status, 0);
        QCOMPARE(saved.out, QByteArray());
        QCOMPARE(
            readAll(path).toHex(' '), ResultFileBytes(QString::fromUtf8(printed.out)).toHex(' '));
    }

    // A settings file gives what the same values on the command line give; the values it
    // holds are read by the window's rules. A text file gives its text.
    void settingsAsTheWindowReadsThem_data()
    {
        QTest::addColumn<QString>("ini"); // null: no settings file
        QTest::addColumn<QString>("extra");
        QTest::addColumn<QString>("same");
        QTest::newRow("empty file: defaults") << u""_qs << QString() << QString();
        QTest::newRow("fields read their leading number")
            << u"[属性]\n图片宽=30abc\n图片高=7.5\n字号=1e1"_qs << QString()
            << u"-W 30 -H 8 -s 10"_qs;
        QTest::newRow("12abc is 12, a refused field keeps its value")
            << u"[属性]\n图片宽=12abc\n图片高=2000\n字号=0\n粗体=1"_qs << QString() << u"-b"_qs;
        QTest::newRow("check states 1 and 2 are on")
            << u"[属性]\n斜体=0\n下划线=2\n删除线=1\n粗体=False"_qs << QString() << u"-u -d"_qs;
        QTest::newRow("mode 1.5 is 2 (halves to even)")
            << u"[设置]\n处理方式=1.5\n背景图片=%1"_qs << QString() << u"-m 2 -g %1"_qs;
        QTest::newRow("K 5 is 16")
            << u"[设置]\n处理方式=2\n亮度=5\n背景图片=%1"_qs << QString() << u"-m 2 -k 16 -g %1"_qs;
        QTest::newRow("trim and keep width") << u"[设置]\n删除右侧空格=1\n保持宽度=True"_qs
                                             << QString() << u"--trim --keep-width"_qs;
        QTest::newRow("a lost background gives the built-in one")
            << u"[设置]\n背景图片=%2\n保持宽度=0"_qs << QString() << QString();
        QTest::newRow("the command line wins")
            << u"[属性]\n图片宽=30\n[设置]\n处理方式=2\n背景图片=%2"_qs << u"-W 5 -m 1 -g %1"_qs
            << u"-W 5 -m 1 -g %1"_qs;
        QTest::newRow("text file, no settings")
            << QString() << u"--text-file %4 -H 24"_qs << u"-t \"一\n二\" -H 24"_qs;
    }
    void settingsAsTheWindowReadsThem()
    {
        QFETCH(QString, ini);
        QFETCH(QString, extra);
        QFETCH(QString, same);
        const QString path = m_dir.filePath(u"Tessarin.Ini"_qs);
        QVERIFY(writeFile(path, ToAnsi(expanded(ini).replace(u'\n', u"\r\n"_qs))));
        const QStringList settings
            = ini.isNull() ? QStringList() : QStringList {"--settings", path};
        const Run stored = run(settings + arguments(extra));
        const Run given = run(arguments(same));
        QCOMPARE(stored.err, QByteArray());
        QCOMPARE(stored.status, 0);
        QCOMPARE(QString::fromUtf8(stored.out), QString::fromUtf8(given.out));
        // A row whose values change nothing would prove nothing.
        QCOMPARE(given.out == m_defaults, same.isEmpty());
    }

    // A bad option or value exits 2, what cannot be used exits 1; either way with one
    // line naming the option, and no output file is made or changed.
    void failuresSayWhyAndWriteNothing_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const auto row
            = [](const char* name, const QString& arguments, int status, const QString& text) {
                  QTest::newRow(name) << arguments << status << text;
              };
        const QString width = u"-W/--width: expected a whole number from 1 to 1024, got "_qs;
        const QString k = u"-k/--threshold: expected a whole number from 16 to 240, got "_qs;
        row("width 0", u"-W 0 -o %3/new.txt"_qs, 2, width + u"\"0\""_qs);
        row("height 1025", u"--height=1025"_qs, 2,
            u"-H/--height: expected a whole number from 1 to 1024, got \"1025\""_qs);
        row("trailing letters", u"-W12abc"_qs, 2, width + u"\"12abc\""_qs);
        row("huge", u"-W 99999999999"_qs, 2, width + u"\"99999999999\""_qs);
        row("blank before", u"-s \" 9\""_qs, 2,
            u"-s/--size: expected a whole number from 1 to 4096, got \" 9\""_qs);
        row("mode 1.5", u"-m 1.5"_qs, 2,
            u"-m/--mode: expected a whole number from 0 to 2, got \"1.5\""_qs);
        row("K 15", u"-k 15"_qs, 2, k + u"\"15\""_qs);
        row("K 241 after a switch", u"-bk241"_qs, 2, k + u"\"241\""_qs);
        row("no value", u"-k"_qs, 2, k + u"nothing"_qs);
        row("switch with a value", u"--trim=1"_qs, 2, u"--trim: expected no value, got \"1\""_qs);
        row("unknown long", u"--colour red"_qs, 2, u"unknown option \"--colour\"; see --help"_qs);
        row("unknown short among switches", u"-bxi"_qs, 2, u"unknown option \"-x\"; see --help"_qs);
        row("stray argument", u"墨"_qs, 2,
            u"unexpected argument \"墨\"; options start with \"-\""_qs);
        row("two source texts", u"-t a --text-file %1"_qs, 2,
            u"-t/--text, --text-file: expected one source text, got both"_qs);
        row("text file not UTF-8", u"--text-file %1"_qs, 2,
            u"--text-file: expected a readable UTF-8 file, got \"%1\" (not UTF-8)"_qs);
        row("missing settings", u"--settings %2"_qs, 2,
            u"--settings: expected a readable settings file, got \"%2\" ("_qs);
        row("collage too long", u"-W 1024 -H 1024 -D "_qs + QString(64, u'x'), 2,
            u"-D/--display, -S/--space: expected at most 67108864 characters in all, got up to "
            u"67110912 for 1024 x 1024 pixels"_qs);
        row("missing background", u"-g %2 -o %3/old.txt --preview %3/new.png"_qs, 1,
            u"-g/--background: cannot read a picture from \"%2\""_qs);
        row("background not a picture", u"-g %3/old.txt --preview %3/new.png"_qs, 1,
            u"-g/--background: cannot read a picture from \"%3/old.txt\""_qs);
        row("font not installed", u"-f \"No Such Family 7\" -o %3/new.txt"_qs, 1,
            u"-f/--font: \"No Such Family 7\" is not an installed font family"_qs);
        row("output folder missing", u"-o %3/no/new.txt --preview %3/new.png"_qs, 1,
            u"-o/--output: cannot write \"%3/no/new.txt\""_qs);
        row("preview folder missing", u"-o %3/old.txt --preview %3/no/new.png"_qs, 1,
            u"--preview: cannot write \"%3/no/new.png\""_qs);
    }
    void failuresSayWhyAndWriteNothing()
    {
        QFETCH(QString, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        QTemporaryDir folder;
        const QString old = folder.filePath(u"old.txt"_qs);
        QVERIFY(writeFile(old, "old"));
        const Run result = run(this->arguments(arguments, folder.path()));
        QCOMPARE(result.status, status);
        QCOMPARE(result.out, QByteArray());
        const QString err = QString::fromUtf8(result.err);
        QVERIFY2(err.startsWith(u"tessarin-cli: "_qs + expanded(message, folder.path())),
            qPrintable(err));
        QVERIFY2(err.endsWith(u'\n') && err.count(u'\n') == 1, qPrintable(err));
        QCOMPARE(entriesBelow(folder.path()), QStringList {old});
        QCOMPARE(readAll(old), QByteArray("old"));
    }

    // The list holds every family once, sorted, with the family used by default marked.
    void fontList()
    {
        const Run listed = run({"--list-fonts"});
        QCOMPARE(listed.status, 0);
        QStringList names, marked;
        for (const QString& line : QString::fromUtf8(listed.out).split(u'\n', Qt::SkipEmptyParts)) {
            QVERIFY2(line.startsWith(u"* "_qs) || line.startsWith(u"  "_qs), qPrintable(line));
            names.append(line.mid(2));
            if (line.startsWith(u'*'))
                marked.append(line.mid(2));
        }
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        QVERIFY(std::is_sorted(names.begin(), names.end(), collator));
        QStringList families = QFontDatabase::families();
        families.sort();
        names.sort();
        QCOMPARE(names, families);
        if (families.isEmpty())
            return;
        QCOMPARE(marked.size(), 1);
        const QStringList options {"-s", "20", "-W", "30", "-H", "30"};
        QCOMPARE(run(QStringList {"-f", marked.first()} + options).out, run(options).out);
    }
};

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
