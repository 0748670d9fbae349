#include "collage/collagetext.h"
#include "output/resultfile.h"
#include "support/scriptedservices.h"
#include "window/buttons.h"
#include "window/frmtessarin.h"
#include "window/picturebox.h"
#include "window/textboxes.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMenu>
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

// A click of the left button at the middle of a control, or at a point of it.
bool clickAt(const QWidget* control, std::optional<QPoint> at = {})
{
    const QPoint p = control->mapToGlobal(at.value_or(control->rect().center()));
    return xdotool(u"mousemove %1 %2 click 1"_qs.arg(p.x()).arg(p.y()));
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

    // No key reaches the output box while the preview covers it, whether the preview comes
    // forward by a click on its tab or stays in front after "生成"; Enter presses a button; the
    // tab keys switch the views; a click on the preview takes the focus.
    void coveredOutputTakesNoKeys()
    {
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        // Ctrl+K, last, flips a mark wherever the focus is: once it has, the keys before it are in.
        const auto keysInSight = [&](const QString& focus) {
            const QString shown = w->TxtOut->toPlainText();
            const bool mark = w->mnuKeepWidth->isChecked();
            return QTest::qWaitFor([&] { return focusName() == focus; })
                && xdotool(u"key ctrl+a Delete x ctrl+k"_qs)
                && QTest::qWaitFor([&] { return w->mnuKeepWidth->isChecked() != mark; })
                && w->TxtOut->toPlainText() == shown;
        };
        w->CmdConv->setFocus();
        QVERIFY(xdotool(u"key Return"_qs));
        QTRY_COMPARE(focusName(), u"TxtOut"_qs);
        QVERIFY(w->TxtOut->isVisible() && !w->TxtOut->toPlainText().isEmpty());
        QVERIFY(clickAt(w->Lbl1));
        QVERIFY(keysInSight(u"TxtSrc"_qs));
        QTRY_COMPARE(w->TxtSrc->Text(), u"x"_qs);

        w->mnuZDQH->setChecked(false);
        w->TxtSrc->SetText(u"砾"_qs);
        w->CmdConv->setFocus();
        const QString before = w->TxtOut->toPlainText();
        QVERIFY(xdotool(u"key KP_Enter"_qs));
        QTRY_VERIFY(w->TxtOut->toPlainText() != before);
        QVERIFY(w->Pic1->isVisible());
        QVERIFY(keysInSight(u"CmdConv"_qs));
        QVERIFY(clickAt(w->Pic1, QPoint(w->Pic1->width() - 8, w->Pic1->height() - 8)));
        QVERIFY(keysInSight(u"Pic1"_qs));

        QVERIFY(xdotool(u"key ctrl+shift+Tab"_qs));
        QTRY_COMPARE(focusName(), u"TxtOut"_qs);
        QVERIFY(w->mShowOutput && !w->Pic1->isVisible());
        QVERIFY(xdotool(u"key ctrl+Page_Up"_qs));
        QTRY_COMPARE(focusName(), u"TxtSrc"_qs);
        QVERIFY(!w->mShowOutput && w->Pic1->isVisible());
    }

    // A locked box still moves its caret and selects by the keyboard, then copies; one undo after
    // "生成" brings back the text it replaced, the next one the hand edit before it.
    void lockedSelectionAndUndoneGenerating()
    {
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->CmdConv_Click();
        const QString first = w->TxtOut->toPlainText();
        QTRY_COMPARE(focusName(), u"TxtOut"_qs);
        QVERIFY(xdotool(u"key ctrl+End type --delay 100 ab"_qs));
        QTRY_COMPARE(w->TxtOut->toPlainText(), first + u"ab"_qs);
        w->TxtSrc->SetText(u"砾"_qs);
        w->CmdConv_Click();
        QVERIFY(w->TxtOut->toPlainText() != first + u"ab"_qs);
        QTRY_COMPARE(focusName(), u"TxtOut"_qs);
        QVERIFY(xdotool(u"key ctrl+z"_qs));
        QTRY_COMPARE(w->TxtOut->toPlainText(), first + u"ab"_qs);
        QVERIFY(xdotool(u"key ctrl+z"_qs));
        QTRY_COMPARE(w->TxtOut->toPlainText(), first);

        QVERIFY(xdotool(u"key ctrl+l ctrl+End Left shift+Left shift+Left ctrl+c"_qs));
        QTRY_COMPARE(QApplication::clipboard()->text(), first.chopped(1).right(2));
        QVERIFY(w->TxtOut->isReadOnly());
    }

    // "▼" pressed from the keyboard opens its menu below the button, or above it where the
    // screen has no room below; clicked, at the pointer.
    void moreMenuPlace_data()
    {
        QTest::addColumn<QString>("press"); // the key, or "click"
        QTest::addColumn<bool>("atScreenBottom");
        QTest::addColumn<QString>("place"); // below, above or pointer
        QTest::newRow("space") << u"space"_qs << false << u"below"_qs;
        QTest::newRow("enter, no room below") << u"Return"_qs << true << u"above"_qs;
        QTest::newRow("click") << u"click"_qs << false << u"pointer"_qs;
    }
    void moreMenuPlace()
    {
        QFETCH(QString, press);
        QFETCH(bool, atScreenBottom);
        QFETCH(QString, place);
        const QRect screen = w->screen()->availableGeometry();
        w->move(screen.left() + 40, atScreenBottom ? screen.bottom() - w->height() : screen.top());
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->CmdMore->setFocus();
        const QPoint pointer = w->CmdMore->mapToGlobal(QPoint(5, 6));
        QVERIFY(
            press == u"click" ? clickAt(w->CmdMore, QPoint(5, 6)) : xdotool(u"key "_qs + press));
        QTRY_COMPARE(QApplication::activePopupWidget(), w->MnuPop);
        QTRY_VERIFY(w->MnuPop->isVisible());
        const QRect menu = w->MnuPop->geometry();
        const QRect button(w->CmdMore->mapToGlobal(QPoint(0, 0)), w->CmdMore->size());
        const QPoint expected = place == u"below" ? button.bottomLeft() + QPoint(0, 1)
            : place == u"above" ? QPoint(button.left(), button.top() - menu.height())
                                : pointer;
        QCOMPARE(menu.topLeft(), expected);
        w->MnuPop->close();
    }
};

QTEST_MAIN(TestRealWindow)
#include "tst_realwindow.moc"
