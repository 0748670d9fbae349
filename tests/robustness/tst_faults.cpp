#include "robustness/faultversions.h"
#include "support/files.h"
#include "support/testregistry.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace testsupport;

namespace {

constexpr int Kills = 30;

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedWhileWriting_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("maxWrites"); // complete writes before a kill, at most
        QTest::addColumn<int>("maxDelayMs"); // then a pause before it, at most
        QTest::newRow("settings file") << "settings" << 3 << 20;
        QTest::newRow("result file") << "result" << 3 << 20;
    }

    // Kills land anywhere in the writer's loop; the target is always one whole version.
    void killedWhileWriting()
    {
        QFETCH(QString, mode);
        QFETCH(int, maxWrites);
        QFETCH(int, maxDelayMs);
        const QString writer = qEnvironmentVariable("TESSARIN_FAULTWRITER");
        if (writer.isEmpty())
            QSKIP("TESSARIN_FAULTWRITER does not name the fault writer");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString target = dir.filePath(u"target"_qs);

        const QList<QByteArray> states = mode == u"settings"
            ? QList<QByteArray> {faultversions::settingsBytes(false),
                faultversions::settingsBytes(true)}
            : QList<QByteArray> {
                faultversions::resultBytes(false), faultversions::resultBytes(true)};
        const QSet<QByteArray> whole(states.cbegin(), states.cend());
        QCOMPARE(whole.size(), 2);

        QRandomGenerator random(20240611);
        QSet<QByteArray> seen;
        int leftovers = 0;
        for (int kill = 0; kill < Kills; ++kill) {
            QVERIFY(writeFile(target, states.first())); // version A
            QProcess process;
            process.start(writer, {mode, target});
            const int writes = random.bounded(maxWrites + 1);
            QByteArray output;
            while (output.count('.') < writes || !output.startsWith("ready")) {
                QVERIFY2(process.waitForReadyRead(10000), qPrintable(process.errorString()));
                output += process.readAllStandardOutput();
            }
            QThread::usleep(random.bounded(maxDelayMs * 1000));
            QCOMPARE(process.state(), QProcess::Running); // killed, not stopped by itself
            process.kill();
            QVERIFY(process.waitForFinished(10000));
            QCOMPARE(process.exitStatus(), QProcess::CrashExit);

            const QByteArray bytes = readAll(target);
            QVERIFY2(whole.contains(bytes),
                qPrintable(u"kill %1 left %2 bytes that are no complete version"_qs.arg(kill).arg(
                    bytes.size())));
            seen.insert(bytes);
            // A temporary file a kill leaves behind is harmless as long as it never took the
            // target's place; it is counted and cleared.
            for (const QString& entry : entriesBelow(dir.path()))
                if (entry != target && QFile::remove(entry))
                    ++leftovers;
        }
        // Kills that all found version A would prove nothing about the moments in between.
        QVERIFY2(seen.size() > 1, "every kill found version A");
        qInfo("%s: %d kills, %lld distinct complete versions found, %d temporary files left",
            qPrintable(mode), Kills, qint64(seen.size()), leftovers);
    }
};

TESSARIN_TEST(TestFaults)
#include "tst_faults.moc"
