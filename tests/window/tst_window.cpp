#include "support/loadedwindow.h"
#include "window/buttons.h"
#include "window/picturebox.h"
#include "window/scrollbar.h"
#include "window/textboxes.h"

#include <QListWidget>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

// The layout, the preview's scroll bars, the menus and the keys.
class TestWindow : public QObject
{
    Q_OBJECT

    ScriptedServices services;
    std::unique_ptr<FrmTessarin> w;

    void clientArea(int width, int height)
    {
        w->resize(width, height);
        w->Form_Resize();
    }

    // At the design size, a picture of the viewport's inner width plus extra; gives that width.
    int pictureWider(int extra, int height = 10)
    {
        clientArea(312, 213);
        w->Pic2->SetInnerSize(w->Pic1->ScaleWidth() + extra, height);
        w->LayoutPreview();
        return w->Pic1->ScaleWidth();
    }

    void select(int from, int to)
    {
        QTextCursor cursor = w->TxtOut->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        w->TxtOut->setTextCursor(cursor);
    }

private Q_SLOTS:
    void init()
    {
        w = LoadedWindow(services);
        w->TxtOut->setPlainText(u"墨砾\n砾墨"_qs);
    }
    void cleanup() { w.reset(); }

    void bandsAndAreas_data()
    {
        QTest::addColumn<QSize>("client"); // pixels
        // band width, third box's left, viewport w/h, output w/h, list h; on whole pixels
        QTest::addColumn<QList<int>>("twips");
        QTest::newRow("design size, 4680 twips")
            << QSize(312, 213) << QList<int> {1560, 3120, 2595, 2010, 2880, 2295, 1035};
        QTest::newRow("width not divisible by three")
            << QSize(301, 300) << QList<int> {1500, 3015, 2430, 3315, 2715, 3600, 2340};
        // Below 2085 twips the viewport's width would be negative: it keeps the one it has.
        QTest::newRow("narrow, 1995 twips")
            << QSize(133, 213) << QList<int> {660, 1335, 2595, 2010, 195, 2295, 1035};
    }

    void bandsAndAreas()
    {
        QFETCH(QSize, client);
        QFETCH(QList<int>, twips);
        clientArea(client.width(), client.height());
        QList<int> measured {w->TxtSrc->width(), w->TxtView2->x(), w->Pic1->width(),
            w->Pic1->height(), w->TxtOut->width(), w->TxtOut->height(), w->ListFontName->height()};
        for (int& pixels : measured)
            pixels *= 15;
        QCOMPARE(measured, twips);
        // Neighbours meet: the band's boxes, to the right edge; the bars along the viewport,
        // 30 twips short of its sides.
        const QRect src = w->TxtSrc->geometry(), view1 = w->TxtView1->geometry(),
                    view2 = w->TxtView2->geometry(), pic = w->Pic1->geometry();
        QCOMPARE((QList<int> {view1.x() - src.right(), view2.x() - view1.right(),
                     client.width() - view2.right(), w->HSBar1->y() - pic.bottom(),
                     w->VSBar1->x() - pic.right(), pic.width() - w->HSBar1->width(),
                     pic.height() - w->VSBar1->height()}),
            (QList<int> {1, 1, 1, 1, 1, 2, 2}));
    }

    // An arrow moves the picture a pixel, the trough a viewport but never beyond the end, and
    // the thumb moves it while dragged. A larger viewport pulls a picture scrolled to its end
    // back; a smaller one keeps it where it is.
    void scrollingMovesThePicture()
    {
        pictureWider(0);
        QVERIFY(!w->HSBar1->isEnabled());
        int inner = pictureWider(1);
        QVERIFY(w->HSBar1->isEnabled() && !w->VSBar1->isEnabled());
        QCOMPARE(w->HSBar1->Max(), -1);
        QCOMPARE(w->HSBar1->pageStep(), inner);
        inner = pictureWider(100, 1000);
        w->HSBar1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(w->Pic2->x(), -1);
        w->HSBar1->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(w->Pic2->x() + w->Pic2->width(), inner); // the last column shows last
        QCOMPARE(w->HSBar1->value(), w->HSBar1->maximum()); // with the thumb at the right end
        w->VSBar1->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(w->Pic2->y(), -w->Pic1->ScaleHeight());
        clientArea(312 + 40, 213);
        QCOMPARE(w->Pic2->x(), -60);
        clientArea(312 + 20, 213);
        QCOMPARE(w->HSBar1->Max(), -80);
        QCOMPARE(w->Pic2->x(), -60);
        clientArea(600, 213); // now it fits
        QVERIFY(!w->HSBar1->isEnabled());
        QCOMPARE(w->Pic2->x(), 0);
        w->VSBar1->setTracking(false);
        w->VSBar1->setSliderDown(true);
        w->VSBar1->setSliderPosition(40);
        QCOMPARE(w->Pic2->y(), -40);
    }

    // Typing stops at the field's length; the program is not held to it.
    void typedLength()
    {
        for (auto [field, length] : {std::pair {w->TxtMapWidth, 4}, {w->TxtHeight, 3}}) {
            field->clear();
            QTest::keyClicks(field, u"123456"_qs);
            QCOMPARE(field->text(), u"123456"_qs.left(length));
            field->setText(u"123456"_qs);
            QCOMPARE(field->text(), u"123456"_qs);
        }
    }

    // The main tree's keys act anywhere in the window; undo and select all belong to the
    // output box, so they never change it while it is out of sight.
    void shortcutContexts()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QSignalSpy autoSwitch(w->mnuZDQH, &QAction::triggered);
        QSignalSpy selectAll(w->mnuSelAll, &QAction::triggered);
        w->ChkB->setFocus();
        QTest::keyClick(w->ChkB, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(w->ChkB, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(selectAll.count(), 0);
        QCOMPARE(autoSwitch.count(), 1);
    }

    void editingEntries_data()
    {
        QTest::addColumn<bool>("selection");
        QTest::addColumn<int>("locks"); // times the lock is chosen
        QTest::addColumn<int>("clipboard"); // 0 empty, 1 text, 2 only a picture
        QTest::addColumn<QString>("enabled"); // the access keys of the enabled entries
        QTest::newRow("nothing selected, text on the clipboard") << false << 0 << 1 << "UPA";
        QTest::newRow("nothing selected, empty clipboard") << false << 0 << 0 << "UA";
        QTest::newRow("selection") << true << 0 << 1 << "UTCPLA";
        QTest::newRow("picture on the clipboard") << true << 0 << 2 << "UTCLA";
        QTest::newRow("locked with a selection") << true << 1 << 1 << "CA";
        QTest::newRow("locked and unlocked") << false << 2 << 1 << "UPA";
    }

    void editingEntries()
    {
        QFETCH(bool, selection);
        QFETCH(int, locks);
        QFETCH(int, clipboard);
        QFETCH(QString, enabled);
        if (clipboard == 1)
            services.clipboardText = u"x"_qs;
        services.clipboardHasOther = clipboard == 2;
        for (int i = 0; i < locks; ++i)
            w->mnuLock_Click();
        if (selection)
            select(1, 4);
        // Opening the tree and opening the output box's submenu refresh alike.
        for (auto open : {&FrmTessarin::MnuPop_Click, &FrmTessarin::mnuTxtOutPop_Click}) {
            (w.get()->*open)();
            QString shown;
            for (const QAction* a : w->mnuTxtOutPop->actions())
                if (!a->isSeparator() && a->isEnabled())
                    shown += a->text().at(a->text().indexOf(u'&') + 1);
            QCOMPARE(shown, enabled);
        }
    }

    // A right press on the output box opens its submenu alone, refreshed; a left one nothing.
    void rightPressOpensTheOutputMenu()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->Lbl2_Click();
        for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
            select(0, 2);
            w->mnuCut->setEnabled(false);
            QTest::mousePress(w->TxtOut->viewport(), button, {}, QPoint(5, 5));
            QCOMPARE(w->mnuTxtOutPop->isVisible(), button == Qt::RightButton);
            QCOMPARE(w->mnuCut->isEnabled(), button == Qt::RightButton);
            QVERIFY(!w->MnuPop->isVisible());
            w->mnuTxtOutPop->close();
            QTest::mouseRelease(w->TxtOut->viewport(), button, {}, QPoint(5, 5));
        }
    }

    // A locked box refuses undo through the menu's shortcut key too; locked twice, it is as
    // before.
    void lockTwiceRestoresTheEditableBox()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        const QColor editable = w->TxtOut->palette().color(QPalette::Base);
        w->TxtOut->setFocus();
        QTest::keyClicks(w->TxtOut, u"ab"_qs);
        w->mnuLock->trigger();
        QVERIFY(w->TxtOut->isReadOnly());
        QCOMPARE(w->TxtOut->palette().color(QPalette::Base), QColor(228, 235, 241));
        QTest::keyClick(w->TxtOut, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(w->TxtOut->toPlainText().startsWith(u"ab"_qs));
        w->mnuLock->trigger();
        QVERIFY(!w->TxtOut->isReadOnly());
        QCOMPARE(w->TxtOut->palette().color(QPalette::Base), editable);
    }

    // Choosing an entry runs its command, and only that: one part of the state changes. (A
    // checkable entry whose handler inverted the mark again would change nothing.)
    void entriesRunTheirCommands_data()
    {
        QTest::addColumn<QString>("entry");
        // clipboard, dialogs shown, background, text|selection, marks of auto switch and keep width
        QTest::addColumn<int>("part");
        QTest::addColumn<QString>("after");
        QTest::newRow("copy the result") << u"复制文字(&T)"_qs << 0 << u"墨砾\n砾墨"_qs;
        QTest::newRow("save the result") << u"保存文本(&S)"_qs << 1 << u"1"_qs;
        QTest::newRow("choose a background") << u"选择背景图片(&B)"_qs << 1 << u"1"_qs;
        QTest::newRow("default background") << u"设置默认背景图(&N)"_qs << 2 << QString();
        QTest::newRow("select all") << u"全选(&A)"_qs << 3 << u"墨砾\n砾墨|墨砾\u2029砾墨"_qs;
        QTest::newRow("delete") << u"删除(&L)"_qs << 3 << u"\n砾墨|"_qs;
        QTest::newRow("auto switch") << u"自动切换(&Q)"_qs << 4 << u"00"_qs;
        QTest::newRow("keep width") << u"保持宽度(&K)"_qs << 4 << u"11"_qs;
    }

    void entriesRunTheirCommands()
    {
        QFETCH(QString, entry);
        QFETCH(int, part);
        QFETCH(QString, after);
        QAction* action = nullptr;
        for (QMenu* menu : {w->MnuPop, w->mnuTxtOutPop})
            for (QAction* a : menu->actions())
                action = a->text() == entry ? a : action;
        QVERIFY(action);
        w->mBgMapFile = u"/somewhere/picture.bmp"_qs;
        select(0, 2);
        const auto state = [&] {
            return QStringList {services.ClipboardText(),
                QString::number(services.dialogsShown.size()), w->mBgMapFile,
                w->TxtOut->toPlainText() + u'|' + w->TxtOut->textCursor().selectedText(),
                QString::number(w->mnuZDQH->isChecked())
                    + QString::number(w->mnuKeepWidth->isChecked())};
        };
        QStringList expected = state();
        expected[part] = after;
        action->trigger();
        QCOMPARE(state(), expected);
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
