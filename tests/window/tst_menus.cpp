#include "runtime/twips.h"
#include "support/loadedwindow.h"
#include "support/scriptedservices.h"
#include "window/frmtessarin.h"
#include "window/buttons.h"
#include "window/textboxes.h"

#include <QAction>
#include <QMenu>
#include <QTest>

class TestMenus : public QObject
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

    void showWindow()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }

private Q_SLOTS:
    void init()
    {
        w = LoadedWindow(services);
        w->TxtOut->setPlainText(u"墨砾\n砾墨"_qs);
    }
    void cleanup() { w.reset(); }

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
        QTest::newRow("locked without a selection") << false << 1 << 1 << "A";
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

    // A locked box refuses the user's changes, through its keys and through the menu's
    // shortcut keys alike, but not the program's; locked twice, it is as before.
    void lockTwiceRestoresTheEditableBox()
    {
        showWindow();
        const QColor editable = w->TxtOut->palette().color(QPalette::Base);
        w->TxtOut->setFocus();
        QTest::keyClicks(w->TxtOut, u"ab"_qs);
        const QString typed = w->TxtOut->toPlainText();
        w->mnuLock->trigger();
        QVERIFY(w->mnuLock->isChecked() && w->TxtOut->isReadOnly());
        QCOMPARE(w->TxtOut->palette().color(QPalette::Base), QColor(228, 235, 241));
        QTest::keyClicks(w->TxtOut, u"cd"_qs);
        QTest::keyClick(w->TxtOut, Qt::Key_Backspace);
        QTest::keyClick(w->TxtOut, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w->TxtOut->toPlainText(), typed);
        QTest::keyClick(w->TxtOut, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(w->TxtOut->textCursor().selectedText().size(), typed.size());
        w->CmdConv_Click();
        QVERIFY(w->TxtOut->toPlainText().startsWith(QLatin1Char('\n')));
        w->mnuLock->trigger();
        QVERIFY(!w->mnuLock->isChecked() && !w->TxtOut->isReadOnly());
        QCOMPARE(w->TxtOut->palette().color(QPalette::Base), editable);
    }

    // A right press on the output box opens its submenu alone; the More button the whole
    // tree. Either refreshes the entries as it opens.
    void pressesOpenTheirMenu_data()
    {
        QTest::addColumn<Qt::MouseButton>("button"); // on the output box; none: on More
        QTest::addColumn<int>("opens"); // 0 nothing, 1 the output box's submenu, 2 the tree
        QTest::newRow("right") << Qt::RightButton << 1;
        QTest::newRow("left, as any other") << Qt::LeftButton << 0;
        QTest::newRow("More button") << Qt::NoButton << 2;
    }

    void pressesOpenTheirMenu()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(int, opens);
        showWindow();
        w->Lbl2_Click();
        select(0, 2);
        w->mnuCut->setEnabled(false);
        if (button == Qt::NoButton)
            QTest::mouseClick(w->CmdMore, Qt::LeftButton);
        else
            QTest::mousePress(w->TxtOut->viewport(), button, {}, QPoint(5, 5));
        QCOMPARE(w->mnuTxtOutPop->isVisible(), opens == 1);
        QCOMPARE(w->MnuPop->isVisible(), opens == 2);
        QCOMPARE(w->mnuCut->isEnabled(), opens && w->TxtOut->textCursor().hasSelection());
        w->mnuTxtOutPop->close();
        w->MnuPop->close();
        if (button != Qt::NoButton)
            QTest::mouseRelease(w->TxtOut->viewport(), button, {}, QPoint(5, 5));
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

    // The default size is an outer size; a maximized window is restored first, a normal one
    // keeps its place.
    void defaultSize()
    {
        w->setGeometry(40, 50, 500, 400);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        for (const Qt::WindowState state : {Qt::WindowNoState, Qt::WindowMaximized}) {
            w->setWindowState(state);
            QTest::qWait(20);
            const QPoint place = w->pos();
            w->mnuFormDefSize->trigger();
            QTest::qWait(20);
            QCOMPARE(w->windowState(), Qt::WindowNoState);
            QCOMPARE(w->frameGeometry().size(), QSize(TwipsToPixels(4800), TwipsToPixels(3600)));
            QVERIFY(state != Qt::WindowNoState || w->pos() == place);
            QCOMPARE(w->TxtOut->x() + w->TxtOut->width(), w->width()); // laid out
        }
    }
};

QTEST_MAIN(TestMenus)
#include "tst_menus.moc"