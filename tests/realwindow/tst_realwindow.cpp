#include "support/scriptedservices.h"
#include "window/frmtessarin.h"
#include "window/picturebox.h"
#include "window/vbwidgets.h"

#include <QDir>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextDocument>

// The window on a real X server: what the screen shows, read back from the
// server, not from the widgets.
class TestRealWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb")); }

    void windowShowsThePreview()
    {
        ScriptedServices services;
        FrmTessarin w(services);
        w.Form_Load();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::qWait(200);

        QScreen* screen = w.screen();
        const QImage shot = screen->grabWindow(w.winId()).toImage();
        QCOMPARE(shot.size(), w.size() * w.devicePixelRatio());

        // The preview picture sits inside the viewport; its pixels on screen are the
        // preview image's pixels.
        const QPoint origin = w.Pic2->mapTo(&w, QPoint(0, 0));
        const QImage& preview = w.Pic2->Image();
        int dark = 0;
        for (int y = 0; y < preview.height(); ++y) {
            for (int x = 0; x < preview.width(); ++x) {
                QCOMPARE(
                    shot.pixel(origin + QPoint(x, y)) & 0xFFFFFF, preview.pixel(x, y) & 0xFFFFFF);
                dark += qGray(preview.pixel(x, y)) < 128;
            }
        }
        QVERIFY(dark > 0);

        const QString dir = qEnvironmentVariable("TESSARIN_TEST_OUTPUT", QDir::tempPath());
        QDir().mkpath(dir);
        QVERIFY(shot.save(dir + QStringLiteral("/window.png")));
    }

    // A generated character picture, as the output tab shows it after "生成".
    void outputTabShowsTheCollage()
    {
        ScriptedServices services;
        FrmTessarin w(services);
        w.Form_Load();
        w.resize(760, 520);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.Pic2->Font().setFamily(QStringLiteral("AR PL UMing CN"));
        w.TxtMapWidth->setText(QStringLiteral("40"));
        w.TxtMapHeight->setText(QStringLiteral("28"));
        w.TxtHeight->setText(QStringLiteral("21"));
        w.TxtView2->SetText(QStringLiteral("　"));
        QTest::mouseClick(w.CmdConv, Qt::LeftButton);
        QVERIFY(w.mShowOutput);
        QVERIFY(w.TxtOut->isVisible() && !w.Pic1->isVisible());
        QCOMPARE(w.TxtOut->document()->blockCount(), 29);
        QTest::qWait(200);

        const QImage shot = w.screen()->grabWindow(w.winId()).toImage();
        const QRect output = w.TxtOut->geometry();
        int dark = 0;
        for (int y = output.top(); y <= output.bottom(); ++y)
            for (int x = output.left(); x <= output.right(); ++x)
                dark += qGray(shot.pixel(x, y)) < 100;
        QVERIFY2(dark > 500, qPrintable(QString::number(dark)));

        const QString dir = qEnvironmentVariable("TESSARIN_TEST_OUTPUT", QDir::tempPath());
        QDir().mkpath(dir);
        QVERIFY(shot.save(dir + QStringLiteral("/collage.png")));
    }
};

QTEST_MAIN(TestRealWindow)
#include "tst_realwindow.moc"
