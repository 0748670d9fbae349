#include "app/settingsrules.h"
#include "support/files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestSettingsRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileExists()
    {
        QTemporaryDir dir;
        const QString empty = dir.filePath(u"empty.ini"_qs);
        const QString full = dir.filePath(u"full.ini"_qs);
        QVERIFY(testsupport::writeFile(empty, {}) && testsupport::writeFile(full, "[a]\r\n"));
        QVERIFY(FileExists(full));
        QVERIFY(!FileExists(empty)); // an empty file counts as missing
        QVERIFY(!FileExists(dir.filePath(u"missing.ini"_qs)));
        QVERIFY(!FileExists(dir.path()));
        QVERIFY(!FileExists(QString()));
    }

    // Where the settings are read from and saved to ("-": nowhere). Each of the two places holds
    // a file of the given bytes, or none ("-"), or one over the size limit ("huge"); "no folder"
    // puts the program in a folder that is not there, so nothing can be saved beside it.
    void settingsFiles_data()
    {
        QTest::addColumn<QString>("beside");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("expected"); // read|save
        QTest::newRow("nothing yet") << "-"
                                     << "-"
                                     << "-|beside";
        QTest::newRow("beside") << "[a]"
                                << "[a]"
                                << "beside|beside";
        QTest::newRow("the user's while none is beside") << "-"
                                                         << "[a]"
                                                         << "user|beside";
        QTest::newRow("empty beside") << ""
                                      << "[a]"
                                      << "user|beside";
        QTest::newRow("no folder beside") << "no folder"
                                          << "-"
                                          << "-|user";
        QTest::newRow("no folder beside, the user's") << "no folder"
                                                      << "[a]"
                                                      << "user|user";
        QTest::newRow("huge beside") << "huge"
                                     << "-"
                                     << "-|user";
        QTest::newRow("huge beside, the user's") << "huge"
                                                 << "[a]"
                                                 << "user|user";
        QTest::newRow("both huge") << "huge"
                                   << "huge"
                                   << "-|-";
    }
    void settingsFiles()
    {
        QFETCH(QString, beside);
        QFETCH(QString, user);
        QFETCH(QString, expected);
        QTemporaryDir program, config;
        const QString programDir
            = beside == u"no folder" ? program.filePath(u"none"_qs) : program.path();
        const auto place = [](const QString& dir, const QString& content) {
            const QString file = JoinPath(dir, u"Tessarin.Ini"_qs);
            if (content == u"huge")
                QVERIFY(testsupport::writeFile(file, "[a]") && QFile::resize(file, 16 << 20 | 1));
            else if (content != u"-" && content != u"no folder")
                QVERIFY(testsupport::writeFile(file, content.toLatin1()));
        };
        place(programDir, beside);
        place(config.path(), user);
        const SettingsFiles files = FindSettingsFiles(programDir, config.path());
        const auto name = [&](const QString& path) {
            return path.isEmpty()                                     ? u"-"_qs
                : path == JoinPath(programDir, u"Tessarin.Ini"_qs)    ? u"beside"_qs
                : path == JoinPath(config.path(), u"Tessarin.Ini"_qs) ? u"user"_qs
                                                                      : path;
        };
        QCOMPARE(name(files.read) + u'|' + name(files.save), expected);
    }

    // Each stored text through every reading: field | check state | mode | K | flag ("-": the
    // fallback) | window measure. Fields and measures take the leading number; check states
    // and K only a text that is a number as a whole; out of range is the default, except that K
    // within a byte is brought into 16 to 240.
    void readings_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        for (const auto& [stored, expected] :
            std::initializer_list<std::pair<const char*, const char*>> {{"1", "1|1|1|16|1|1"},
                {"2", "2|2|2|16|1|2"}, {"3", "3|0|0|16|1|3"}, {"-1", "-1|0|0|128|1|-1"},
                {"0", "0|0|0|16|0|0"}, {"1.5", "1.5|2|2|16|1|2"}, {"2.5", "2.5|2|2|16|1|2"},
                {"12.50", "12.5|0|0|16|1|12"}, {"5", "5|0|0|16|1|5"}, {"250", "250|0|0|240|1|250"},
                {"300", "300|0|0|128|1|300"}, {"-300", "-300|0|0|128|1|-300"},
                {"12abc", "12|0|0|128|-|12"}, {"60abc", "60|0|0|128|-|60"},
                {"abc", "0|0|0|128|-|0"}, {"True", "0|0|0|128|1|0"}, {"false", "0|0|0|16|0|0"},
                {"9e9", "9000000000|0|0|128|1|none"}})
            QTest::newRow(stored) << QString::fromLatin1(stored) << QString::fromLatin1(expected);
    }

    void readings()
    {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        const bool flag = FlagSetting(stored, false);
        const std::optional<int> measure = WindowMeasure(stored);
        const QStringList actual {FieldText(stored), QString::number(CheckState(stored)),
            QString::number(ProcessModeSetting(stored)), QString::number(ThresholdSetting(stored)),
            FlagSetting(stored, true) != flag ? u"-"_qs : QString::number(flag),
            measure ? QString::number(*measure) : u"none"_qs};
        QCOMPARE(actual.join(u'|'), expected);
    }

    // Stored outer bounds against two screens; the fallback is 320 x 240.
    void openingBounds_data()
    {
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<QRect>("expected");
        const auto row = [](const char* name, const QRect& stored, const QRect& expected) {
            QTest::newRow(name) << stored << expected;
        };
        row("partly off to the right, title bar still reachable", {1800, 100, 320, 240},
            {1800, 100, 320, 240});
        row("on the second screen", {2000, 300, 320, 240}, {2000, 300, 320, 240});
        row("wholly off to the right", {5000, 100, 320, 240}, {1600, 100, 320, 240});
        row("title bar above the screen", {100, -200, 320, 240}, {100, 0, 320, 240});
        row("far off on both axes", {-9000, 9000, 320, 240}, {0, 840, 320, 240});
        row("no width", {100, 100, 0, 300}, {100, 100, 320, 300});
        row("negative height", {100, 100, 400, -400}, {100, 100, 400, 240});
        row("just too small", {100, 100, 159, 119}, {100, 100, 320, 240});
        row("smallest usable", {100, 100, 160, 120}, {100, 100, 160, 120});
        row("wider than its screen", {100, 100, 99999, 300}, {0, 100, 1920, 300});
        row("larger than the second screen", {2500, 50, 5000, 5000}, {1920, 0, 1280, 1024});
    }
    void openingBounds()
    {
        QFETCH(QRect, stored);
        QFETCH(QRect, expected);
        const QList<QRect> screens {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
        QCOMPARE(OpeningBounds(stored, QSize(320, 240), screens), expected);
    }
};

QTEST_MAIN(TestSettingsRules)
#include "tst_settingsrules.moc"
