#include "support/scriptedservices.h"
#include "window/frmtessarin.h"
#include "window/picturebox.h"
#include "window/buttons.h"
#include "window/scrollbar.h"
#include "window/textboxes.h"

#include "collage/collagetext.h"
#include "output/resultfile.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>
#include <QTextDocument>

namespace {

// Keys pressed as on a keyboard: through the X server to the window with the input focus.
// The window goes on handling events meanwhile, as it does while a user types.
bool xdotool(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    return QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20000)
        && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QString focusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

} // namespace

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

    // Tab visits every control the user can see, the arrow keys move a bar's thumb their
    // way, the strings typed are used as typed, and a copy from the output box is plain text.
    void keyboard()
    {
        QVERIFY2(
            !QStandardPaths::findExecutable(u"xdotool"_qs).isEmpty(), "xdotool is not installed");
        ScriptedServices services;
        FrmTessarin w(services);
        w.Form_Load();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.TxtSrc->setFocus();
        auto key = [](const QString& keys) {
            return xdotool(QStringList {QStringLiteral("key")} + keys.split(u' '));
        };
        // A character missing from the keyboard map is mapped for the moment of its press;
        // the delay gives the window time to read the new map.
        auto type = [](const QString& text) {
            return xdotool({u"type"_qs, u"--delay"_qs, u"400"_qs, text});
        };
        // Buttons 4 to 7 are the wheel's notches: up, down, left, right.
        auto click = [&](QWidget* control, const QString& buttons) {
            const QPoint at = control->mapTo(&w, control->rect().center());
            return xdotool(QStringList {u"mousemove"_qs, u"--window"_qs, QString::number(w.winId()),
                               QString::number(at.x()), QString::number(at.y())}
                + buttons.split(u' '));
        };
        auto tabTo = [&](const char* name) {
            return key(QStringLiteral("Tab"))
                && QTest::qWaitFor([&] { return focusName() == QLatin1String(name); });
        };

        QVERIFY(tabTo("TxtView1"));
        QVERIFY(key(u"ctrl+a"_qs) && type(u"a"_qs) && key(u"Return"_qs) && type(u"b\u2028c"_qs));
        QVERIFY(tabTo("TxtView2"));
        QVERIFY(key(u"ctrl+a"_qs) && type(u"\u00a0"_qs));
        QVERIFY(tabTo("TxtMapWidth"));
        QVERIFY(key(u"ctrl+a"_qs) && type(u"300"_qs));
        QVERIFY(tabTo("TxtMapHeight"));
        QVERIFY(key(u"ctrl+a"_qs) && type(u"200"_qs));
        for (const char* name : {"TxtHeight", "ChkB", "ChkI", "ChkU", "ChkD", "ChkDelRight"})
            QVERIFY2(tabTo(name), name);
        QVERIFY(key(u"space"_qs));
        for (const char* name :
            {"ChkTxtFont", "ListFontName", "CmdConv", "CmdMore", "Pic1", "HSBar1"})
            QVERIFY2(tabTo(name), name);
        QTRY_COMPARE(w.TxtView1->Text(), u"a\r\nb\u2028c"_qs);
        QCOMPARE(w.TxtView2->Text(), u"\u00a0"_qs);
        QCOMPARE(w.ChkDelRight->Value(), 1);

        QVERIFY(key(u"Right Right Right Left"_qs));
        QTRY_COMPARE(w.HSBar1->Value(), -2);
        QCOMPARE(w.Pic2->x(), -2);
        QVERIFY(tabTo("VSBar1"));
        QVERIFY(key(u"Down"_qs));
        QTRY_COMPARE(w.Pic2->y(), -1);
        const int notch = QApplication::wheelScrollLines() * 16;
        QVERIFY(click(w.Pic1, u"click 5 keydown shift click 5 keyup shift"_qs));
        QTRY_COMPARE(w.Pic2->pos(), QPoint(-2 - notch, -1 - notch));
        QVERIFY(tabTo("Pic2"));
        // The output box lies under the preview: Tab goes round to the first control.
        QVERIFY(tabTo("TxtSrc"));

        QVERIFY(click(w.CmdConv, u"click 1"_qs));
        QTRY_COMPARE(focusName(), u"TxtOut"_qs);
        QCOMPARE(w.TxtOut->textCursor().position(), 0);
        QCOMPARE(
            w.TxtOut->horizontalScrollBar()->value() + w.TxtOut->verticalScrollBar()->value(), 0);
        CollageOptions typed;
        typed.display = u"a\r\nb\u2028c"_qs;
        typed.space = u"\u00a0"_qs;
        typed.trim = true;
        const QString collage = WithLineFeeds(CollageText(w.Pic2->Image(), typed));
        QVERIFY(tabTo("TxtSrc"));
        QVERIFY(key(u"shift+Tab"_qs));
        QTRY_COMPARE(focusName(), u"TxtOut"_qs);
        QVERIFY(key(u"ctrl+a ctrl+c"_qs));
        QTRY_VERIFY(QApplication::clipboard()->ownsClipboard());
        const QMimeData* copied = QApplication::clipboard()->mimeData();
        QCOMPARE(copied->formats(), QStringList {u"text/plain"_qs});
        QCOMPARE(copied->text(), collage);
    }
};

QTEST_MAIN(TestRealWindow)
#include "tst_realwindow.moc"
