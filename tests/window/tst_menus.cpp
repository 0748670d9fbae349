#include "runtime/twips.h"
#include "support/scriptedservices.h"
#include "support/testregistry.h"
#include "window/frmtessarin.h"
#include "window/vbwidgets.h"

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

    QList<bool> enabledEntries() const
    {
        return {w->mnuUnDo->isEnabled(), w->mnuCut->isEnabled(), w->mnuCopy->isEnabled(),
            w->mnuPaste->isEnabled(), w->mnuDel->isEnabled(), w->mnuSelAll->isEnabled()};
    }

private Q_SLOTS:
    void init()
    {
        services = ScriptedServices();
        w = std::make_unique<FrmTessarin>(services);
        w->Form_Load();
        w->TxtOut->setPlainText(u"墨砾\n砾墨"_qs);
    }
    void cleanup() { w.reset(); }

    void editingEntries_data()
    {
        QTest::addColumn<bool>("selection");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<int>("clipboard"); // 0 empty, 1 text, 2 only a picture
        // undo, cut, copy, paste, delete, select all
        QTest::addColumn<QList<bool>>("enabled");
        QTest::newRow("nothing selected, text on the clipboard")
            << false << false << 1 << QList<bool> {true, false, false, true, false, true};
        QTest::newRow("nothing selected, empty clipboard")
            << false << false << 0 << QList<bool> {true, false, false, false, false, true};
        QTest::newRow("selection")
            << true << false << 1 << QList<bool> {true, true, true, true, true, true};
        QTest::newRow("picture on the clipboard")
            << true << false << 2 << QList<bool> {true, true, true, false, true, true};
        QTest::newRow("locked with a selection")
            << true << true << 1 << QList<bool> {false, false, true, false, false, true};
        QTest::newRow("locked without a selection")
            << false << true << 1 << QList<bool> {false, false, false, false, false, true};
    }

    void editingEntries()
    {
        QFETCH(bool, selection);
        QFETCH(bool, locked);
        QFETCH(int, clipboard);
        QFETCH(QList<bool>, enabled);
        if (clipboard == 1)
            services.clipboardText = u"x"_qs;
        services.clipboardHasOther = clipboard == 2;
        if (locked)
            w->mnuLock_Click();
        if (selection)
            select(1, 4);
        w->MnuPop_Click();
        QCOMPARE(enabledEntries(), enabled);
        // Opening the output box's submenu refreshes the same way.
        w->mnuTxtOutPop_Click();
        QCOMPARE(enabledEntries(), enabled);
    }

    void unlockingEnablesUndoAndPasteAgain()
    {
        w->mnuLock_Click();
        w->MnuPop_Click();
        QVERIFY(!w->mnuUnDo->isEnabled());
        w->mnuLock_Click();
        services.clipboardText = u"x"_qs;
        w->MnuPop_Click();
        QVERIFY(w->mnuUnDo->isEnabled());
        QVERIFY(w->mnuPaste->isEnabled());
    }

    void lockTwiceRestoresTheEditableLook()
    {
        const QColor editable = w->TxtOut->palette().color(QPalette::Base);
        w->mnuLock->trigger();
        QVERIFY(w->mnuLock->isChecked());
        QVERIFY(w->TxtOut->isReadOnly());
        QCOMPARE(w->TxtOut->palette().color(QPalette::Base), QColor(228, 235, 241));
        // The program can still replace the text of a locked box.
        w->CmdConv_Click();
        QVERIFY(w->TxtOut->toPlainText().startsWith(QLatin1Char('\n')));
        w->mnuLock->trigger();
        QVERIFY(!w->mnuLock->isChecked());
        QVERIFY(!w->TxtOut->isReadOnly());
        QCOMPARE(w->TxtOut->palette().color(QPalette::Base), editable);
    }

    // A locked box refuses the user's changes, through its keys and through the
    // menu's shortcut keys alike.
    void lockedBoxRefusesTyping()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->TxtOut->setFocus();
        QTest::keyClicks(w->TxtOut, u"ab"_qs);
        const QString typed = w->TxtOut->toPlainText();
        w->mnuLock_Click();
        QTest::keyClicks(w->TxtOut, u"cd"_qs);
        QTest::keyClick(w->TxtOut, Qt::Key_Backspace);
        QTest::keyClick(w->TxtOut, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w->TxtOut->toPlainText(), typed);
        QTest::keyClick(w->TxtOut, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(w->TxtOut->textCursor().selectedText().size(), typed.size());
    }

    void optionsInvertTheirMarks_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("initially");
        QTest::newRow("auto switch") << u"mnuZDQH"_qs << true;
        QTest::newRow("keep width") << u"mnuKeepWidth"_qs << false;
    }

    void optionsInvertTheirMarks()
    {
        QFETCH(QString, entry);
        QFETCH(bool, initially);
        QAction* action = entry == u"mnuZDQH"_qs ? w->mnuZDQH : w->mnuKeepWidth;
        QCOMPARE(action->isChecked(), initially);
        action->trigger(); // as a choice in the menu
        QCOMPARE(action->isChecked(), !initially);
        if (action == w->mnuZDQH)
            w->mnuZDQH_Click();
        else
            w->mnuKeepWidth_Click();
        QCOMPARE(action->isChecked(), initially);
    }

    void rightPressOpensTheOutputMenuAlone_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("opens");
        QTest::newRow("right") << Qt::RightButton << true;
        QTest::newRow("left") << Qt::LeftButton << false;
        QTest::newRow("middle") << Qt::MiddleButton << false;
    }

    void rightPressOpensTheOutputMenuAlone()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, opens);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->Lbl2_Click();
        select(0, 2);
        w->mnuCut->setEnabled(false);
        QTest::mousePress(w->TxtOut->viewport(), button, {}, QPoint(5, 5));
        QCOMPARE(w->mnuTxtOutPop->isVisible(), opens);
        QVERIFY(!w->MnuPop->isVisible());
        if (opens)
            QVERIFY(w->mnuCut->isEnabled() == (w->TxtOut->textCursor().hasSelection()));
        w->mnuTxtOutPop->close();
        QTest::mouseRelease(w->TxtOut->viewport(), button, {}, QPoint(5, 5));
    }

    void moreButtonOpensTheWholeTree()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        select(0, 1);
        w->mnuCopy->setEnabled(false);
        QTest::mouseClick(w->CmdMore, Qt::LeftButton);
        QVERIFY(w->MnuPop->isVisible());
        QVERIFY(w->mnuCopy->isEnabled()); // refreshed as it opened
        w->MnuPop->close();
    }

    // Choosing an entry runs its command.
    void entriesRunTheirCommands_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::newRow("copy the result") << u"复制文字(&T)"_qs;
        QTest::newRow("save the result") << u"保存文本(&S)"_qs;
        QTest::newRow("choose a background") << u"选择背景图片(&B)"_qs;
        QTest::newRow("default background") << u"设置默认背景图(&N)"_qs;
        QTest::newRow("select all") << u"全选(&A)"_qs;
        QTest::newRow("delete") << u"删除(&L)"_qs;
    }

    void entriesRunTheirCommands()
    {
        QFETCH(QString, entry);
        QAction* action = nullptr;
        for (QMenu* menu : {w->MnuPop, w->mnuTxtOutPop})
            for (QAction* a : menu->actions())
                if (a->text() == entry)
                    action = a;
        QVERIFY(action);
        w->mBgMapFile = u"/somewhere/picture.bmp"_qs;
        select(0, 2);
        action->trigger();
        if (entry == u"复制文字(&T)"_qs)
            QCOMPARE(services.ClipboardText(), u"墨砾\n砾墨"_qs);
        else if (entry == u"保存文本(&S)"_qs || entry == u"选择背景图片(&B)"_qs)
            QCOMPARE(services.dialogsShown.size(), 1);
        else if (entry == u"设置默认背景图(&N)"_qs)
            QVERIFY(w->mBgMapFile.isEmpty());
        else if (entry == u"全选(&A)"_qs)
            QCOMPARE(w->TxtOut->textCursor().selectionEnd(), 5);
        else
            QCOMPARE(w->TxtOut->toPlainText(), u"\n砾墨"_qs);
    }

    void defaultSize_data()
    {
        QTest::addColumn<Qt::WindowState>("state");
        QTest::newRow("normal") << Qt::WindowNoState;
        QTest::newRow("maximized") << Qt::WindowMaximized;
        QTest::newRow("minimized") << Qt::WindowMinimized;
    }

    void defaultSize()
    {
        QFETCH(Qt::WindowState, state);
        w->setGeometry(40, 50, 500, 400);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->setWindowState(state);
        QTest::qWait(20);
        const QPoint place = w->pos();
        w->mnuFormDefSize->trigger();
        QTest::qWait(20);
        QCOMPARE(w->windowState(), Qt::WindowNoState);
        QCOMPARE(w->frameGeometry().size(), QSize(TwipsToPixels(4800), TwipsToPixels(3600)));
        if (state == Qt::WindowNoState)
            QCOMPARE(w->pos(), place);
        // The resize laid the window out.
        QCOMPARE(w->TxtOut->x() + w->TxtOut->width(), w->width());
    }
};

TESSARIN_TEST(TestMenus)
#include "tst_menus.moc"
