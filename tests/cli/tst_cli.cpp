#include "output/resultfile.h"
#include "runtime/codepage.h"
#include "support/files.h"
#include "support/testregistry.h"

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

    // In arguments, %1 stands for the crafted picture, %2 for a file that does not
    // exist and %3 for a fresh folder.
    QStringList expand(QStringList arguments, const QString& folder = {}) const
    {
        for (QString& argument : arguments)
            argument = argument.replace(u"%1"_qs, m_picture)
                           .replace(u"%2"_qs, m_dir.filePath(u"missing.png"_qs))
                           .replace(u"%3"_qs, folder);
        return arguments;
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

    static QByteArray rows(const QStringList& lines)
    {
        QByteArray text;
        for (const QString& line : lines)
            text += "\r\n" + line.toUtf8();
        return text;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // Each pixel sits on a border of some rule: 128 is light in every mode; the
        // grey levels are 128, 217, 165, 0 above and 10, 100, 255, 83 below.
        QImage picture(4, 2, QImage::Format_RGB32);
        const QRgb pixels[]
            = {qRgb(128, 128, 128), qRgb(127, 255, 255), qRgb(255, 127, 127), qRgb(0, 0, 0),
                qRgb(10, 10, 10), qRgb(100, 100, 100), qRgb(255, 255, 255), qRgb(200, 0, 200)};
        for (int i = 0; i < 8; ++i)
            picture.setPixel(i % 4, i / 4, pixels[i]);
        m_picture = m_dir.filePath(u"crafted.png"_qs);
        QVERIFY(picture.save(m_picture));
        const Run defaults = run({});
        QCOMPARE(defaults.status, 0);
        m_defaults = defaults.out;
    }

    // Without text the tiled picture alone decides: 6 x 3 pixels over a 4 x 2 tile.
    void modesFollowThePixels_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("mode 0") << QStringList {"-m", "0", "-k", "16"}
                                << QStringList {".###.#", "##.###", ".###.#"};
        QTest::newRow("mode 1") << QStringList {"-m1"}
                                << QStringList {"..##..", "##..##", "..##.."};
        QTest::newRow("K 128") << QStringList {"-m", "2"}
                               << QStringList {"...#..", "##.###", "...#.."};
        QTest::newRow("K 16") << QStringList {"--mode=2", "-k", "16"}
                              << QStringList {"...#..", "#...#.", "...#.."};
        QTest::newRow("K 129: grey 128 turns dark") << QStringList {"-m", "2", "--threshold", "129"}
                                                    << QStringList {"#..##.", "##.###", "#..##."};
        QTest::newRow("K 240") << QStringList {"-m", "2", "-k240"}
                               << QStringList {"######", "##.###", "######"};
        QTest::newRow("trim drops trailing blanks") << QStringList {"-m", "1", "-S", " ", "--trim"}
                                                    << QStringList {"  ##", "##  ##", "  ##"};
        QTest::newRow("ruler counts GBK bytes")
            << QStringList {"-D", "砾", "--keep-width"}
            << QStringList {"TTTTTTTTTTT", "", ".砾砾砾.砾", "砾砾.砾砾砾", ".砾砾砾.砾"};
    }
    void modesFollowThePixels()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, expected);

        const Run result = run(
            QStringList {"-t", "", "-g", m_picture, "-W", "6", "-H", "3", "-D", "#", "-S", "."}
            + options);
        QCOMPARE(result.err, QByteArray());
        QCOMPARE(result.status, 0);
        QCOMPARE(QString::fromUtf8(result.out), QString::fromUtf8(rows(expected)));
    }

    // The saved file holds what the window's save writes for the printed text.
    void outputFileHoldsTheSavedBytes_data()
    {
        QTest::addColumn<QStringList>("options");

        QTest::newRow("defaults") << QStringList {};
        QTest::newRow("GB18030 only, and a break inside a string")
            << QStringList {"-D", "\U0001F600", "-S", "a\nb", "-W", "3", "-H", "2", "-k", "200"};
        QTest::newRow("ruler, two lines of text")
            << QStringList {"--keep-width", "-t", "一\n二", "-H", "24", "-b"};
    }
    void outputFileHoldsTheSavedBytes()
    {
        QFETCH(QStringList, options);

        const Run printed = run(options);
        QCOMPARE(printed.status, 0);
        QCOMPARE(printed.out.count("\r\n"), printed.out.count('\n'));

        QTemporaryDir folder;
        const QString path = folder.filePath(u"result.txt"_qs);
        // A longer file already there leaves no tail behind.
        QVERIFY(writeFile(path, QByteArray(printed.out.size() * 2, 'x')));
        const Run saved = run(options + QStringList {"-o", path});
        QCOMPARE(saved.status, 0);
        QCOMPARE(saved.out, QByteArray());
        QCOMPARE(
            readAll(path).toHex(' '), ResultFileBytes(QString::fromUtf8(printed.out)).toHex(' '));
    }

    // A settings file gives what the same values on the command line give; the
    // values it holds are read by the window's rules.
    void settingsAsTheWindowReadsThem_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<QStringList>("same");

        QTest::newRow("empty file: defaults") << QString() << QStringList {} << QStringList {};
        QTest::newRow("fields read their leading number")
            << u"[属性]\n图片宽=30abc\n图片高=7.5\n字号=1e1"_qs << QStringList {}
            << QStringList {"-W", "30", "-H", "8", "-s", "10"};
        QTest::newRow("12abc is 12, a refused field keeps its value")
            << u"[属性]\n图片宽=12abc\n图片高=2000\n字号=0\n粗体=1"_qs << QStringList {}
            << QStringList {"-b"};
        QTest::newRow("check states 1 and 2 are on")
            << u"[属性]\n斜体=0\n下划线=2\n删除线=1\n粗体=False"_qs << QStringList {}
            << QStringList {"-u", "-d"};
        QTest::newRow("mode 1.5 is 2 (halves to even)")
            << u"[设置]\n处理方式=1.5\n背景图片=%1"_qs << QStringList {}
            << QStringList {"-m", "2", "-g", "%1"};
        QTest::newRow("mode 3 is 0")
            << u"[设置]\n处理方式=3\n背景图片=%1"_qs << QStringList {} << QStringList {"-g", "%1"};
        QTest::newRow("K 5 is 16")
            << u"[设置]\n处理方式=2\n亮度=5\n背景图片=%1"_qs << QStringList {}
            << QStringList {"-m", "2", "-k", "16", "-g", "%1"};
        QTest::newRow("K 250 is 240") << u"[设置]\n处理方式=2\n亮度=250"_qs << QStringList {}
                                      << QStringList {"-m", "2", "-k", "240"};
        QTest::newRow("trim and keep width")
            << u"[设置]\n删除右侧空格=1\n保持宽度=True"_qs << QStringList {}
            << QStringList {"--trim", "--keep-width"};
        QTest::newRow("a lost background gives the built-in one")
            << u"[设置]\n背景图片=%2\n保持宽度=0"_qs << QStringList {} << QStringList {};
        QTest::newRow("the command line wins")
            << u"[属性]\n图片宽=30\n[设置]\n处理方式=2\n背景图片=%2"_qs
            << QStringList {"-W", "5", "-m", "1", "-g", "%1"}
            << QStringList {"-W", "5", "-m", "1", "-g", "%1"};
    }
    void settingsAsTheWindowReadsThem()
    {
        QFETCH(QString, ini);
        QFETCH(QStringList, extra);
        QFETCH(QStringList, same);

        const QString path = m_dir.filePath(u"Tessarin.Ini"_qs);
        QVERIFY(writeFile(path, ToAnsi(expand({ini}).first().replace(u'\n', u"\r\n"_qs))));
        const Run stored = run(QStringList {"--settings", path} + expand(extra));
        const Run given = run(expand(same));
        QCOMPARE(stored.err, QByteArray());
        QCOMPARE(stored.status, 0);
        QCOMPARE(QString::fromUtf8(stored.out), QString::fromUtf8(given.out));
        // A row whose values change nothing would prove nothing.
        QCOMPARE(given.out == m_defaults, same.isEmpty());
    }

    // The source text from a file is the same text.
    void textFile()
    {
        const QString path = m_dir.filePath(u"text.txt"_qs);
        QVERIFY(writeFile(path, "\xEF\xBB\xBF一\n二"));
        const Run fromFile = run({"--text-file", path, "-H", "24"});
        QCOMPARE(fromFile.status, 0);
        QCOMPARE(fromFile.out, run({"-t", "一\n二", "-H", "24"}).out);
        QVERIFY(fromFile.out != run({"-t", "一二", "-H", "24"}).out);
    }

    // A bad option or value exits 2, what cannot be used exits 1; either way with one
    // line naming the option, and no output file is made or changed.
    void failuresSayWhyAndWriteNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");

        const auto row = [](const char* name, QStringList arguments, int status, QString text) {
            QTest::newRow(name) << arguments << status << text;
        };
        const QString width = u"-W/--width: expected a whole number from 1 to 1024, got "_qs;
        const QString k = u"-k/--threshold: expected a whole number from 16 to 240, got "_qs;
        row("width 0", {"-W", "0", "-o", "%3/new.txt"}, 2, width + u"\"0\""_qs);
        row("height 1025", {"--height=1025"}, 2,
            "-H/--height: expected a whole number from 1 to 1024, got \"1025\"");
        row("trailing letters", {"-W12abc"}, 2, width + u"\"12abc\""_qs);
        row("huge", {"-W", "99999999999"}, 2, width + u"\"99999999999\""_qs);
        row("blank before", {"-s", " 9"}, 2,
            "-s/--size: expected a whole number from 1 to 4096, got \" 9\"");
        row("mode 1.5", {"-m", "1.5"}, 2,
            "-m/--mode: expected a whole number from 0 to 2, got \"1.5\"");
        row("K 15", {"-k", "15"}, 2, k + u"\"15\""_qs);
        row("K 241 after a switch", {"-bk241"}, 2, k + u"\"241\""_qs);
        row("no value", {"-k"}, 2, k + u"nothing"_qs);
        row("switch with a value", {"--trim=1"}, 2, "--trim: expected no value, got \"1\"");
        row("unknown long", {"--colour", "red"}, 2, "unknown option \"--colour\"; see --help");
        row("unknown short among switches", {"-bxi"}, 2, "unknown option \"-x\"; see --help");
        row("stray argument", {"墨"}, 2, "unexpected argument \"墨\"; options start with \"-\"");
        row("two source texts", {"-t", "a", "--text-file", "%1"}, 2,
            "-t/--text, --text-file: expected one source text, got both");
        row("text file not UTF-8", {"--text-file", "%1"}, 2,
            "--text-file: expected a readable UTF-8 file, got \"%1\" (not UTF-8)");
        row("missing settings", {"--settings", "%2"}, 2,
            "--settings: expected a readable settings file, got \"%2\" (");
        row("collage too long", {"-W", "1024", "-H", "1024", "-D", QString(64, u'x')}, 2,
            "-D/--display, -S/--space: expected at most 67108864 characters in all, got up to "
            "67110912 for 1024 x 1024 pixels");
        row("missing background", {"-g", "%2", "-o", "%3/old.txt", "--preview", "%3/new.png"}, 1,
            "-g/--background: cannot read a picture from \"%2\"");
        row("background not a picture", {"-g", "%3/old.txt", "--preview", "%3/new.png"}, 1,
            "-g/--background: cannot read a picture from \"%3/old.txt\"");
        row("font not installed", {"-f", "No Such Family 7", "-o", "%3/new.txt"}, 1,
            "-f/--font: \"No Such Family 7\" is not an installed font family");
        row("output folder missing", {"-o", "%3/no/new.txt", "--preview", "%3/new.png"}, 1,
            "-o/--output: cannot write \"%3/no/new.txt\"");
        row("preview folder missing", {"-o", "%3/old.txt", "--preview", "%3/no/new.png"}, 1,
            "--preview: cannot write \"%3/no/new.png\"");
    }
    void failuresSayWhyAndWriteNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);

        QTemporaryDir folder;
        const QString old = folder.filePath(u"old.txt"_qs);
        QVERIFY(writeFile(old, "old"));
        const Run result = run(expand(arguments, folder.path()));
        QCOMPARE(result.status, status);
        QCOMPARE(result.out, QByteArray());
        const QString err = QString::fromUtf8(result.err);
        QVERIFY2(err.startsWith(u"tessarin-cli: "_qs + expand({message}, folder.path()).first()),
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
        QStringList names;
        QStringList marked;
        for (const QString& line : QString::fromUtf8(listed.out).split(u'\n', Qt::SkipEmptyParts)) {
            QVERIFY2(line.startsWith(u"* "_qs) || line.startsWith(u"  "_qs), qPrintable(line));
            names.append(line.mid(2));
            if (line.startsWith(u'*'))
                marked.append(line.mid(2));
        }
        QStringList families = QFontDatabase::families();
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        for (qsizetype i = 1; i < names.size(); ++i)
            QVERIFY2(collator.compare(names[i - 1], names[i]) <= 0, qPrintable(names[i]));
        std::sort(families.begin(), families.end());
        std::sort(names.begin(), names.end());
        QCOMPARE(names, families);
        if (families.isEmpty())
            return;
        QCOMPARE(marked.size(), 1);
        QCOMPARE(run({"-f", marked.first(), "-s", "20", "-W", "30", "-H", "30"}).out,
            run({"-s", "20", "-W", "30", "-H", "30"}).out);
    }
};

TESSARIN_TEST(TestCli)
#include "tst_cli.moc"
