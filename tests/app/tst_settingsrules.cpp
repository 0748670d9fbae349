#include "app/settingsrules.h"
#include "support/testregistry.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestSettingsRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void joinPath_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ordinary folder") << u"/opt/tessarin"_qs << u"/opt/tessarin/Tessarin.Ini"_qs;
        QTest::newRow("root: no doubled separator") << u"/"_qs << u"/Tessarin.Ini"_qs;
        QTest::newRow("trailing separator") << u"/opt/t/"_qs << u"/opt/t/Tessarin.Ini"_qs;
        QTest::newRow("empty folder") << QString() << u"/Tessarin.Ini"_qs;
    }

    void joinPath()
    {
        QFETCH(QString, dir);
        QFETCH(QString, expected);
        QCOMPARE(JoinPath(dir, u"Tessarin.Ini"_qs), expected);
    }

    void fileExists()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString empty = dir.filePath(u"empty.ini"_qs);
        const QString full = dir.filePath(u"full.ini"_qs);
        QFile(empty).open(QIODevice::WriteOnly);
        QFile file(full);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[a]\r\n");
        file.close();
        QVERIFY(FileExists(full));
        QVERIFY(!FileExists(empty)); // an empty file counts as missing
        QVERIFY(!FileExists(dir.filePath(u"missing.ini"_qs)));
        QVERIFY(!FileExists(dir.path()));
        QVERIFY(!FileExists(QString()));
    }

    void settingsLocation()
    {
        QTemporaryDir program, config;
        const QString beside = program.filePath(u"Tessarin.Ini"_qs);
        QCOMPARE(SettingsFilePath(program.path(), config.path()), beside);
        const QString elsewhere = JoinPath(config.path(), u"Tessarin.Ini"_qs);
        QCOMPARE(
            SettingsFilePath(program.filePath(u"no/such/folder"_qs), config.path()), elsewhere);
    }

    void readings_data()
    {
        QTest::addColumn<QString>("reading");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* name, const char* reading, const QString& stored,
                       const QString& expected) {
            QTest::newRow(name) << QString::fromLatin1(reading) << stored << expected;
        };
        row("field, trailing letters", "field", u"12abc"_qs, u"12"_qs);
        row("field, letters", "field", u"abc"_qs, u"0"_qs);
        row("field, exponent", "field", u"1e2"_qs, u"100"_qs);
        row("field, trailing zero", "field", u"12.50"_qs, u"12.5"_qs);
        row("field, blank between digits", "field", u"1 2"_qs, u"12"_qs);
        row("check, 1", "check", u"1"_qs, u"1"_qs);
        row("check, greyed", "check", u"2"_qs, u"2"_qs);
        row("check, False", "check", u"False"_qs, u"0"_qs);
        row("check, out of range", "check", u"3"_qs, u"0"_qs);
        row("check, negative", "check", u"-1"_qs, u"0"_qs);
        row("check, letters", "check", u"abc"_qs, u"0"_qs);
        row("check, True is no number", "check", u"True"_qs, u"0"_qs);
        row("mode 1", "mode", u"1"_qs, u"1"_qs);
        row("mode 3", "mode", u"3"_qs, u"0"_qs);
        row("mode -1", "mode", u"-1"_qs, u"0"_qs);
        row("mode 1.5 rounds to even", "mode", u"1.5"_qs, u"2"_qs);
        row("mode 2.5 rounds to even", "mode", u"2.5"_qs, u"2"_qs);
        row("mode letters", "mode", u"abc"_qs, u"0"_qs);
        row("mode beyond 16 bits", "mode", u"9e9"_qs, u"0"_qs);
        row("K 5", "k", u"5"_qs, u"16"_qs);
        row("K 250", "k", u"250"_qs, u"240"_qs);
        row("K 16", "k", u"16"_qs, u"16"_qs);
        row("K 240", "k", u"240"_qs, u"240"_qs);
        row("K beyond a byte", "k", u"300"_qs, u"128"_qs);
        row("K letters", "k", u"abc"_qs, u"128"_qs);
        row("K trailing letters", "k", u"60abc"_qs, u"128"_qs);
        row("flag True", "flag", u"True"_qs, u"1"_qs);
        row("flag false", "flag", u"false"_qs, u"0"_qs);
        row("flag number", "flag", u"-1"_qs, u"1"_qs);
        row("flag zero", "flag", u"0"_qs, u"0"_qs);
        row("flag neither", "flag", u"yes"_qs, u"fallback"_qs);
        row("measure", "measure", u"1200"_qs, u"1200"_qs);
        row("measure, letters after", "measure", u"1440abc"_qs, u"1440"_qs);
        row("measure, negative", "measure", u"-300"_qs, u"-300"_qs);
        row("measure, beyond", "measure", u"1e30"_qs, u"none"_qs);
    }

    void readings()
    {
        QFETCH(QString, reading);
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        QString actual;
        if (reading == u"field"_qs)
            actual = FieldText(stored);
        else if (reading == u"check"_qs)
            actual = QString::number(CheckState(stored));
        else if (reading == u"mode"_qs)
            actual = QString::number(ProcessModeSetting(stored));
        else if (reading == u"k"_qs)
            actual = QString::number(ThresholdSetting(stored));
        else if (reading == u"flag"_qs)
            actual = FlagSetting(stored, true) != FlagSetting(stored, false)
                ? u"fallback"_qs
                : QString::number(FlagSetting(stored, false));
        else {
            const std::optional<int> measure = WindowMeasure(stored);
            actual = measure ? QString::number(*measure) : u"none"_qs;
        }
        QCOMPARE(actual, expected);
    }

    void reachablePosition_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("on screen") << QRect(100, 100, 320, 240) << QPoint(100, 100);
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

TESSARIN_TEST(TestSettingsRules)
#include "tst_settingsrules.moc"
