#include "app/settingsrules.h"
#include "support/files.h"

#include <QDir>
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

    // The settings file lies beside the program where it may be written there, else in the
    // user's folder.
    void settingsPaths()
    {
        const QString name = u"Tessarin.Ini"_qs;
        QCOMPARE(JoinPath(u"/opt/tessarin"_qs, name), u"/opt/tessarin/Tessarin.Ini"_qs);
        QCOMPARE(JoinPath(u"/opt/t/"_qs, name), u"/opt/t/Tessarin.Ini"_qs);
        QCOMPARE(JoinPath(u"/"_qs, name), u"/Tessarin.Ini"_qs); // no doubled separator
        QCOMPARE(JoinPath(QString(), name), u"/Tessarin.Ini"_qs);
        QTemporaryDir program, config;
        QCOMPARE(SettingsFilePath(program.path(), config.path()), program.filePath(name));
        QCOMPARE(SettingsFilePath(program.filePath(u"no/such/folder"_qs), config.path()),
            JoinPath(config.path(), name));
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

    void reachablePosition_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("partly off to the right, title bar still reachable")
            << QRect(1800, 100, 320, 240) << QPoint(1800, 100);
        QTest::newRow("wholly off to the right") << QRect(5000, 100, 320, 240) << QPoint(1600, 100);
        QTest::newRow("title bar above the screen") << QRect(100, -200, 320, 240) << QPoint(100, 0);
        QTest::newRow("far off on both axes") << QRect(-9000, 9000, 320, 240) << QPoint(0, 1055);
        QTest::newRow("on the second screen") << QRect(2000, 300, 320, 240) << QPoint(2000, 300);
    }

    void reachablePosition()
    {
        QFETCH(QRect, frame);
        QFETCH(QPoint, expected);
        const QList<QRect> screens {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
        QCOMPARE(ReachablePosition(frame, screens), expected);
    }
};

QTEST_MAIN(TestSettingsRules)
#include "tst_settingsrules.moc"
