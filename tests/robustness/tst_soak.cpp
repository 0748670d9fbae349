#include "support/scriptedservices.h"
#include "support/testregistry.h"
#include "window/frmtessarin.h"
#include "window/picturebox.h"
#include "window/vbwidgets.h"

#include <QFile>
#include <QTest>
#include <unistd.h>

namespace {

// The process's resident memory in bytes, or -1 where /proc does not say.
qint64 residentBytes()
{
    QFile statm(u"/proc/self/statm"_qs);
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * ::sysconf(_SC_PAGESIZE) : -1;
}

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Generating again and again in one window holds on to no memory: a leak of even one result
    // per run would add 130 KB a time, over 120 MB by the end.
    void thousandGenerations()
    {
#ifdef __SANITIZE_ADDRESS__
        QSKIP("the address sanitizer holds freed memory back; its leak checker stands in here");
#endif
        if (residentBytes() < 0)
            QSKIP("/proc/self/statm is not available");
        ScriptedServices services;
        FrmTessarin w(services);
        w.Form_Load();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.TxtMapWidth->setText(u"256"_qs);
        w.TxtMapHeight->setText(u"256"_qs);
        QCOMPARE(w.Pic2->Image().size(), QSize(256, 256));

        qint64 afterTenth = 0;
        for (int run = 1; run <= 1000; ++run) {
            // A new source text every time, so every run draws and builds a different picture.
            w.TxtSrc->SetText(QString::number(run));
            w.CmdConv_Click();
            QCoreApplication::processEvents();
            QCOMPARE(w.TxtOut->blockCount(), 257);
            if (run == 10)
                afterTenth = residentBytes();
        }
        const qint64 afterLast = residentBytes();
        qInfo("resident memory after run 10: %lld KiB, after run 1000: %lld KiB", afterTenth / 1024,
            afterLast / 1024);
        QVERIFY2(afterLast <= afterTenth + afterTenth / 10,
            qPrintable(u"memory grew from %1 KiB to %2 KiB"_qs.arg(afterTenth / 1024)
                           .arg(afterLast / 1024)));
    }
};

TESSARIN_TEST(TestSoak)
#include "tst_soak.moc"
