#include "collage/collagetext.h"
#include "output/resultfile.h"
#include "support/scriptedservices.h"
#include "window/frmtessarin.h"
#include "window/picturebox.h"
#include "window/textboxes.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextDocument>

namespace {

// Keys as a user presses them, through the X server; the window goes on handling events.
bool xdotool(const QString& command)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), command.split(u' '));
    return QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20000)
        && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QString focusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

} // namespace

class TestRealWindow : public QObject
{
    Q_OBJECT

    ScriptedServices services;
    std::unique_ptr<FrmTessarin> w;

private Q_SLOTS:
    void init()
    {
        QCOMPARE(QGuiApplication::platformName(), u"xcb"_qs);
        w = std::make_unique<FrmTessarin>(services);
        w->Form_Load();
    }
    void cleanup() { w.reset(); }

    // A generated character picture, as the output tab shows it after "生成".
    void outputTabShowsTheCollage()
    {
        w->resize(760, 520);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->Pic2->Font().setFamily(u"AR PL UMing CN"_qs);
        w->TxtMapWidth->setText(u"40"_qs);
        w->TxtMapHeight->setText(u"28"_qs);
        w->TxtHeight->setText(u"21"_qs);
        QTest::mouseClick(w->CmdConv, Qt::LeftButton);
        QVERIFY(w->TxtOut->isVisible() && !w->Pic1->isVisible());
        QCOMPARE(w->TxtOut->document()->blockCount(), 29);
        QTest::qWait(200);
        const QImage shot = w->screen()->grabWindow(w->winId()).toImage();
        int dark = 0;
        for (int y = w->TxtOut->y(); y < w->TxtOut->y() + w->TxtOut->height(); ++y)
            for (int x = w->TxtOut->x(); x < w->TxtOut->x() + w->TxtOut->width(); ++x)
                dark += qGray(shot.pixel(x, y)) < 100;
        QVERIFY2(dark > 500, qPrintable(QString::number(dark)));
        const QString dir = qEnvironmentVariable("TESSARIN_TEST_OUTPUT", QDir::tempPath());
        QVERIFY(QDir().mkpath(dir) && shot.save(dir + u"/collage.png"_qs));
    }

    // Tab visits every control the user can see, the arrow keys move the preview their way, the
    // strings typed are used as typed, and a copy from the output box is plain text.
    void keyboard()
    {
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->TxtSrc->setFocus();
        // A character missing from the keyboard map is mapped for the moment of its press; the
        // delay gives the window time to read the new map.
        const auto type = [](const QString& text) {
            return xdotool(u"key ctrl+a"_qs) && xdotool(u"type --delay 400 "_qs + text);
        };
        const auto tabTo = [](const QString& names) {
            for (const QString& name : names.split(u' '))
                if (!xdotool(u"key Tab"_qs)
                    || !QTest::qWaitFor([&] { return focusName() == name; }))
                    return false;
            return true;
        };
        QVERIFY(tabTo(u"TxtView1"_qs) && type(u"a"_qs) && xdotool(u"key Return"_qs));
        QVERIFY(xdotool(u"type --delay 400 b\u2028c"_qs));
        QVERIFY(tabTo(u"TxtView2"_qs) && type(u"\u00a0"_qs));
        QVERIFY(tabTo(u"TxtMapWidth"_qs) && type(u"300"_qs));
        QVERIFY(tabTo(u"TxtMapHeight"_qs) && type(u"200"_qs));
        QVERIFY(tabTo(u"TxtHeight ChkB ChkI ChkU ChkD ChkDelRight ChkTxtFont ListFontName"_qs));
        QVERIFY(
            tabTo(u"CmdConv CmdMore Pic1 HSBar1"_qs) && xdotool(u"key Right Right Right Left"_qs));
        QTRY_COMPARE(w->Pic2->x(), -2);
        QVERIFY(tabTo(u"VSBar1"_qs) && xdotool(u"key Down"_qs));
        QTRY_COMPARE(w->Pic2->y(), -1);
        // The output box lies under the preview: Tab goes round to the first control.
        QVERIFY(tabTo(u"Pic2 TxtSrc"_qs));

        QTest::mouseClick(w->CmdConv, Qt::LeftButton);
        QVERIFY(tabTo(u"TxtSrc"_qs) && xdotool(u"key shift+Tab"_qs));
        QTRY_COMPARE(focusName(), u"TxtOut"_qs);
        QVERIFY(xdotool(u"key ctrl+a ctrl+c"_qs));
        QTRY_VERIFY(QApplication::clipboard()->ownsClipboard());
        const QMimeData* copied = QApplication::clipboard()->mimeData();
        QCOMPARE(copied->formats(), QStringList {u"text/plain"_qs});
        const CollageOptions typed {u"a\r\nb\u2028c"_qs, u"\u00a0"_qs};
        QCOMPARE(copied->text(), WithLineFeeds(CollageText(w->Pic2->Image(), typed)));
    }
};

QTEST_MAIN(TestRealWindow)
#include "tst_realwindow.moc"
