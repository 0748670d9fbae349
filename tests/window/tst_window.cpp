#include "support/loadedwindow.h"
#include "window/ui/buttons.h"
#include "window/ui/picturebox.h"
#include "window/ui/scrollbar.h"
#include "window/ui/textboxes.h"

#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QStyleHints>
#include <QTest>
#include <QWheelEvent>

class TestWindow : public QObject
{
    Q_OBJECT

    ScriptedServices services;
    std::unique_ptr<FrmTessarin> w;

    void select(int from, int to)
    {
        QTextCursor cursor = w->TxtOut->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        w->TxtOut->setTextCursor(cursor);
    }

    // The access keys of the enabled entries of the output box's menu.
    QString enabledEntries() const
    {
        QString shown;
        for (const QAction* a : w->mnuTxtOutPop->actions())
            if (!a->isSeparator() && a->isEnabled())
                shown += a->text().at(a->text().indexOf(u'&') + 1);
        return shown;
    }

private Q_SLOTS:
    void init()
    {
        w = LoadedWindow(services);
        w->TxtOut->setPlainText(u"墨砾\n砾墨"_qs);
    }
    void cleanup() { w.reset(); }

    // Band widths, 2nd and 3rd box x, viewport, output, list and bar sizes for a client area in
    // pixels; below 2085 twips the viewport keeps its width. A preview bar is usable only while the
    // picture overflows the viewport: its range runs to minus the overflow, a page is the viewport;
    // the bar and preview go back to 0 once the picture fits, to the new end in a larger window.
    void bandsAndPreviewBars()
    {
        // The last, 301 x 300, leaves a viewport of 158 x 217 pixels inside its border.
        for (const auto& [client, sizes] :
            {std::pair(QSize(133, 213), QList {44, 45, 44, 89, 173, 134, 13, 153, 69, 1, 2, 2}),
                {QSize(301, 300), QList {100, 101, 100, 201, 162, 221, 181, 240, 156, 1, 2, 2}}}) {
            w->resize(client);
            w->Form_Resize();
            QCOMPARE((QList {w->TxtSrc->width(), w->TxtView1->width(), w->TxtView1->x(),
                         w->TxtView2->x(), w->Pic1->width(), w->Pic1->height(), w->TxtOut->width(),
                         w->TxtOut->height(), w->ListFontName->height(),
                         w->VSBar1->x() - w->Pic1->geometry().right(),
                         w->Pic1->height() - w->VSBar1->height(),
                         w->Pic1->width() - w->HSBar1->width()}),
                sizes);
        }
        const auto bars = [&] {
            QList<int> shown {w->Pic2->x(), w->Pic2->y()};
            for (const ScrollBar* bar : {w->HSBar1, w->VSBar1})
                shown << bar->isEnabled() << bar->Max() << bar->pageStep() << bar->Value();
            return shown;
        };
        w->TxtMapWidth->setText(u"300"_qs);
        w->TxtMapHeight->setText(u"300"_qs);
        w->HSBar1->SetValue(-100);
        w->VSBar1->SetValue(-30);
        QCOMPARE(bars(), (QList {-100, -30, 1, -142, 158, -100, 1, -83, 217, -30}));
        for (ScrollBar* bar : {w->HSBar1, w->VSBar1}) { // the preview follows a dragged thumb
            bar->setSliderDown(true);
            bar->setSliderPosition(bar->sliderPosition() - 10);
        }
        QCOMPARE(w->Pic2->pos(), QPoint(-90, -20));
        for (ScrollBar* bar : {w->HSBar1, w->VSBar1})
            bar->setSliderDown(false);
        // A notch of the wheel over the preview, then one with Shift: 48 pixels down, then across.
        for (const auto modifier : {Qt::NoModifier, Qt::ShiftModifier}) {
            QWheelEvent notch(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                modifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(w->Pic1, &notch);
        }
        QCOMPARE(w->Pic2->x(), -138);
        w->TxtMapWidth->setText(u"100"_qs);
        QCOMPARE(bars(), (QList {0, -68, 0, -142, 158, 0, 1, -83, 217, -68}));
        w->resize(301, 330);
        w->Form_Resize();
        QCOMPARE(bars().mid(0, 2) + bars().mid(6, 4), (QList {0, -53, 1, -53, 247, -53}));
    }

    // What the controls show: the preview picture inside its border; "生成" and the tabs in
    // narrow columns, one character above the other; the output in full- and half-width columns; a
    // style button filled with the highlight colour while pressed or greyed, its caption then light
    // or grey; a usable bar with a thumb that moves, an unusable one without.
    void looksAndSize()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QVERIFY(!w->windowIcon().isNull() && !w->Pic3->isVisible() && !w->Pic4->isVisible());
        const auto shot = [](QWidget* widget) { return widget->grab().toImage(); };
        const auto count = [](const QImage& image, const auto& wanted) {
            int n = 0;
            QRect where;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (wanted(QColor(image.pixel(x, y))))
                        ++n, where |= QRect(x, y, 1, 1);
            return std::pair {n, where};
        };
        const QRect inside = w->Pic2->contentsRect();
        QCOMPARE(
            shot(w->Pic2).copy(inside).convertToFormat(QImage::Format_RGB32), w->Pic2->Image());

        const auto dark = [](const QColor& c) { return c.lightness() < 80; };
        for (QWidget* narrow : std::initializer_list<QWidget*> {w->CmdConv, w->Lbl1}) {
            const QRect ink = count(shot(narrow), dark).second;
            QVERIFY(ink.height() > 3 * ink.width() / 2);
            QVERIFY(std::abs(2 * ink.center().x() - narrow->width()) <= 2); // centred
        }
        const QFontMetrics output(w->TxtOut->font()); // the collage's columns line up
        QCOMPARE(
            (QList {output.horizontalAdvance(u"砾"_qs), output.horizontalAdvance(u"\u3000"_qs)}),
            QList<int>(2, 2 * output.horizontalAdvance(u'#')));
        const QImage raised = shot(w->CmdConv); // the button's edge drawn, not the window under it
        QVERIFY(raised.pixelColor(raised.width() / 2, 0) != w->palette().color(QPalette::Window));

        // The style shades the fill: bluish like the highlight colour is close enough.
        const auto highlight = [](const QColor& c) { return c.blue() - c.red() > 60; };
        QList<bool> pressed;
        QList<int> light; // pixels as light as the selection's text: few in a greyed caption
        QList<QImage> looks;
        for (int value : {0, 1, 2, 0}) {
            w->ChkB->setDown(looks.size() == 3); // the last held down by the mouse: sunken
            w->ChkB->SetValue(value);
            const QImage button = looks.emplace_back(shot(w->ChkB));
            pressed << (count(button, highlight).first > button.width() * button.height() / 2);
            light << count(button, [](const QColor& c) { return c.lightness() > 220; }).first;
        }
        QCOMPARE(pressed, (QList {false, true, true, false}));
        QVERIFY(looks[3] != looks[0]);
        QVERIFY(light[2] < light[1] / 2);

        w->TxtMapWidth->setText(u"1000"_qs);
        const QImage start = shot(w->HSBar1);
        w->HSBar1->SetValue(w->HSBar1->Max());
        QVERIFY(shot(w->HSBar1) != start);
        const QImage unusable = shot(w->VSBar1);
        const int side = unusable.width(); // the far arrow greyed, but drawn
        const QImage arrow = unusable.copy(0, unusable.height() - side, side, side);
        QVERIFY(count(arrow, [&](const QColor& c) { return c != arrow.pixel(0, 0); }).first);
        w->VSBar1->setRange(0, 100);
        w->VSBar1->setValue(100);
        QCOMPARE(shot(w->VSBar1), unusable);

        // "默认大小" gives the window its design outer size again, also a maximized one.
        w->resize(500, 400);
        w->mnuFormDefSize->trigger();
        QCOMPARE(w->frameGeometry().size(), QSize(320, 240));
        w->showMaximized(); // from a maximized window: restored first
        QTRY_VERIFY(w->isMaximized());
        w->mnuFormDefSize->trigger();
        QTRY_COMPARE(w->frameGeometry().size(), QSize(320, 240));
        QVERIFY(!w->isMaximized());
    }

    // The output box's entries follow the selection and whether the clipboard holds text, whichever
    // menu opens them (locked: outputMenu).
    void editingEntries()
    {
        QStringList shown;
        const auto open = [&] {
            for (auto open : {&FrmTessarin::MnuPop_Click, &FrmTessarin::mnuTxtOutPop_Click}) {
                (w.get()->*open)();
                shown << enabledEntries();
            }
        };
        services.clipboardText = u"x"_qs;
        open();
        select(1, 4);
        open();
        services.clipboardText.reset(); // a picture, say
        open();
        QCOMPARE(shown.join(u' '), u"UPA UPA UTCPLA UTCPLA UTCLA UTCLA"_qs);
    }

    // Only the right button and the menu keys open the output box's menu, from the keys at the
    // caret; refreshed as the tree is, here for a locked box with a selection.
    void outputMenu_data()
    {
        QTest::addColumn<QString>("press"); // a mouse button, or keys
        QTest::addColumn<bool>("opens");
        QTest::newRow("left button") << u"left"_qs << false;
        QTest::newRow("right button") << u"right"_qs << true;
        QTest::newRow("Menu") << u"Menu"_qs << true;
        QTest::newRow("Shift+F10") << u"Shift+F10"_qs << true;
        QTest::newRow("F10 alone") << u"F10"_qs << false;
    }
    void outputMenu()
    {
        QFETCH(QString, press);
        QFETCH(bool, opens);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->Lbl2_Click();
        if (press != u"left") // unlocked, a click places the caret
            w->mnuLock_Click();
        select(4, 5);
        const QPoint caret
            = w->TxtOut->viewport()->mapToGlobal(w->TxtOut->cursorRect().bottomLeft());
        const QKeyCombination keys = QKeySequence(press)[0];
        if (press == u"left" || press == u"right")
            QTest::mousePress(w->TxtOut->viewport(),
                press == u"left" ? Qt::LeftButton : Qt::RightButton, {}, QPoint(2, 2));
        else
            QTest::keyClick(w->TxtOut, keys.key(), keys.keyboardModifiers());
        QCOMPARE(QApplication::activePopupWidget(), opens ? w->mnuTxtOutPop : nullptr);
        QCOMPARE(w->TxtOut->textCursor().hasSelection(), press != u"left");
        if (opens)
            QCOMPARE(enabledEntries(), u"CA"_qs);
        if (opens && press != u"right")
            QCOMPARE(w->mnuTxtOutPop->pos(), caret);
    }

    // The keys' focus shows on the preview, its picture and its bars; between the preview's bars
    // the window's own background shows, not the output box beneath.
    void focusFramesAndBackdrop()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->TxtMapWidth->setText(u"900"_qs);
        const QColor highlight = w->palette().color(QPalette::Highlight);
        const auto framed = [&](QWidget* focus, QWidget* frame) {
            focus->setFocus();
            return frame->grab().toImage().pixelColor(1, 1) == highlight;
        };
        QVERIFY(
            framed(w->Pic1, w->Pic1) && framed(w->Pic2, w->Pic1) && !framed(w->TxtSrc, w->Pic1));
        QVERIFY(framed(w->HSBar1, w->HSBar1) && !framed(w->TxtSrc, w->HSBar1));
        // The caret blinks, except in a line too long to redraw at every blink.
        const int blinking = QGuiApplication::styleHints()->cursorFlashTime();
        QVERIFY(blinking > 0 && framed(w->Pic1, w->Pic1));
        w->TxtSrc->setPlainText(QString(20000, u'墨'));
        QVERIFY(!framed(w->TxtSrc, w->Pic1));
        QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), 0);
        QVERIFY(framed(w->Pic1, w->Pic1));
        QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), blinking);
        w->TxtSrc->setPlainText(u"墨"_qs); // and stays so
        QVERIFY(!framed(w->TxtSrc, w->Pic1));
        QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), blinking);
        const QPoint gap(w->HSBar1->geometry().center().x(), w->HSBar1->geometry().bottom() + 2);
        const auto shown = [&] { return w->grab().toImage().pixelColor(gap); };
        QCOMPARE(shown(), w->palette().color(QPalette::Window));
        w->Lbl2_Click();
        QCOMPARE(shown(), w->TxtOut->palette().color(QPalette::Base));
    }

    // Choosing an entry runs its command, and only that: one part of the state changes. (A
    // checkable entry whose handler inverted the mark again would change nothing.)
    void entriesRunTheirCommands_data()
    {
        QTest::addColumn<QString>("entry");
        // clipboard, dialogs shown, background, text|selection, marks of auto switch and keep width
        QTest::addColumn<int>("part");
        QTest::addColumn<QString>("after");
        QTest::newRow("default background") << u"设置默认背景图(&N)"_qs << 2 << QString();
        QTest::newRow("select all") << u"全选(&A)"_qs << 3 << u"墨砾\n砾墨|墨砾\u2029砾墨"_qs;
        QTest::newRow("delete") << u"删除(&L)"_qs << 3 << u"\n砾墨|"_qs;
        QTest::newRow("auto switch") << u"自动切换(&Q)"_qs << 4 << u"00"_qs;
    }

    void entriesRunTheirCommands()
    {
        QFETCH(QString, entry);
        QFETCH(int, part);
        QFETCH(QString, after);
        QAction* action = nullptr;
        for (QAction* a : w->findChildren<QAction*>())
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
