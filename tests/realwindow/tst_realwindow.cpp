#include "collage/collagetext.h"
#include "runtime/codepage.h"
#include "runtime/linebreaks.h"
#include "runtime/ui/qtservices.h"
#include "support/files.h"
#include "support/loadedwindow.h"
#include "window/ui/buttons.h"
#include "window/ui/picturebox.h"
#include "window/ui/textboxes.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

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
    QtServices real;
    std::unique_ptr<FrmTessarin> w;

    bool showActive()
    {
        w->show();
        w->activateWindow();
        return QTest::qWaitForWindowActive(w.get());
    }

private Q_SLOTS:
    void init()
    {
        QCOMPARE(QGuiApplication::platformName(), u"xcb"_qs);
        w = LoadedWindow(services);
    }
    void cleanup() { w.reset(); }

    // Tab visits every control the user can see, the arrow keys move the preview their way, the
    // strings typed are used as typed, and a copy from the output box is plain text.
    void keyboard()
    {
        QVERIFY(showActive());
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
    // forward by a click on its tab or stays in front after "生成", and its select all acts there
    // only, while the main tree's keys act anywhere; Enter presses a button; a click on the
    // preview takes the focus; each tab key shows the other view, the focus where the user sees it.
    void coveredOutputTakesNoKeys()
    {
        QVERIFY(showActive());
        // Ctrl+K, last, flips a mark wherever the focus is: once it has, the keys before it are in.
        const auto keysInSight = [&](const QString& focus) {
            const QString shown = w->TxtOut->toPlainText();
            const bool mark = w->mnuKeepWidth->isChecked();
            return QTest::qWaitFor([&] { return focusName() == focus; })
                && xdotool(u"key ctrl+a Delete x ctrl+k"_qs)
                && QTest::qWaitFor([&] { return w->mnuKeepWidth->isChecked() != mark; })
                && w->TxtOut->toPlainText() == shown && !w->TxtOut->textCursor().hasSelection();
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

        for (const QString& key :
            {u"ctrl+shift+Tab"_qs, u"ctrl+Page_Up"_qs, u"ctrl+Tab"_qs, u"ctrl+Page_Down"_qs}) {
            const bool output = !w->mShowOutput;
            QVERIFY(xdotool(u"key "_qs + key));
            QTRY_COMPARE(focusName(), output ? u"TxtOut"_qs : u"TxtSrc"_qs);
            QCOMPARE(w->Pic1->isVisible(), !output);
        }
    }

    // One undo after "生成" brings back the text it replaced, the next one the hand edit before it.
    // Locked, the box refuses undo by its key too, still moves its caret and selects by the
    // keyboard, then copies; locked twice, it is as before.
    void lockedSelectionAndUndoneGenerating()
    {
        QVERIFY(showActive());
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

        const QColor editable = w->TxtOut->palette().color(QPalette::Base);
        QVERIFY(w->TxtOut->document()->isUndoAvailable());
        QVERIFY(xdotool(u"key ctrl+l ctrl+z ctrl+End Left shift+Left shift+Left ctrl+c"_qs));
        QTRY_COMPARE(QApplication::clipboard()->text(), first.chopped(1).right(2));
        QCOMPARE(w->TxtOut->toPlainText(), first);
        QVERIFY(w->TxtOut->isReadOnly());
        QCOMPARE(w->TxtOut->palette().color(QPalette::Base), QColor(228, 235, 241));
        QVERIFY(xdotool(u"key ctrl+l"_qs));
        QTRY_COMPARE(w->TxtOut->palette().color(QPalette::Base), editable);
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
        QVERIFY(showActive());
        w->CmdMore->setFocus();
        const QPoint pointer = w->CmdMore->mapToGlobal(QPoint(5, 6));
        QVERIFY(
            press == u"click" ? clickAt(w->CmdMore, QPoint(5, 6)) : xdotool(u"key "_qs + press));
        QTRY_COMPARE(QApplication::activePopupWidget(), w->MnuPop);
        const QRect menu = w->MnuPop->geometry();
        const QRect button(w->CmdMore->mapToGlobal(QPoint(0, 0)), w->CmdMore->size());
        const QPoint expected = place == u"below" ? button.bottomLeft() + QPoint(0, 1)
            : place == u"above" ? QPoint(button.left(), button.top() - menu.height())
                                : pointer;
        QCOMPARE(menu.topLeft(), expected);
        w->MnuPop->close();
    }

    // With the X clipboard and Qt's own file dialog: "复制文字" puts the whole collage on the
    // clipboard, with the platform's line breaks. "保存文本" asks through Qt's save dialog, under
    // its title, text files first; the name typed gets the collage in the code page with CR LF (and
    // ".txt" if it has none and text files are chosen), and is offered at the next save with the
    // type chosen, whichever it is; a cancelled dialog writes nothing.
    void copyAndSaveThroughTheDialog()
    {
        w = std::make_unique<FrmTessarin>(real);
        real.SetDialogParent(w.get());
        w->Form_Load();
        QVERIFY(showActive());
        w->CmdConv_Click();
        const QString startUpCollage = CollageText(w->Pic2->Image(), {u"砾"_qs, u"\u3000"_qs});
        QCOMPARE(w->TxtOut->toPlainText(), WithLineFeeds(startUpCollage));
        QCOMPARE(w->TxtOut->verticalScrollBar()->value(), 0); // its first line in sight
        QApplication::clipboard()->setText(u"before"_qs);
        w->mnuCopyText->trigger();
        QTRY_COMPARE(QApplication::clipboard()->text(), WithLineFeeds(startUpCollage));
        QTemporaryDir dir;
        const QString path = dir.filePath(u"collage.txt"_qs), second = dir.filePath(u"second"_qs);
        QStringList offered;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog || dialog->property("answered").toBool())
                return;
            dialog->setProperty("answered", true);
            const bool open = dialog->acceptMode() == QFileDialog::AcceptOpen;
            QCOMPARE(dialog->fileMode(), open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
            if (open)
                return dialog->reject();
            const bool first = offered.isEmpty();
            if (first)
                offered = QStringList {dialog->windowTitle()} + dialog->nameFilters();
            else // the name and type chosen the time before
                offered << dialog->selectedFiles().value(0);
            offered << dialog->selectedNameFilter();
            if (offered.size() > 6)
                return dialog->reject();
            const QString type = first ? u"所有文件(*.*)"_qs : u"文本文件(*.txt)"_qs;
            dialog->selectNameFilter(type);
            Q_EMIT dialog->filterSelected(type); // as when a user picks it
            QTimer::singleShot(20000, dialog, &QDialog::reject); // a dialog left open is given up
            dialog->activateWindow();
            QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == dialog; }));
            // Typed as a user types; the second name without its extension.
            QProcess::startDetached(u"sh"_qs,
                {u"-c"_qs, u"xdotool key ctrl+a type --delay 10 \"$0\" && xdotool key Return"_qs,
                    first ? path : second});
        });
        answer.start(50);
        w->mnuSave->trigger();
        QCOMPARE(testsupport::readAll(path), ToAnsi(startUpCollage));
        w->TxtOut->setPlainText(u"砾"_qs);
        w->mnuSave->trigger();
        w->TxtOut->setPlainText(u"不保存"_qs); // the third dialog is cancelled: nothing written
        w->mnuSave->trigger();
        w->mnuBgMap->trigger(); // only a file that is there can be opened
        answer.stop();
        QCOMPARE(offered,
            QStringList({u"请选择保存的文件："_qs, u"文本文件(*.txt)"_qs, u"所有文件(*.*)"_qs,
                u"文本文件(*.txt)"_qs, path, u"所有文件(*.*)"_qs, second + u".txt"_qs,
                u"文本文件(*.txt)"_qs}));
        QCOMPARE(testsupport::readAll(second + u".txt"_qs), ToAnsi(u"砾"_qs));
    }
};

QTEST_MAIN(TestRealWindow)
#include "tst_realwindow.moc"
