#include "collage/collagetext.h"
#include "runtime/codepage.h"
#include "runtime/linebreaks.h"
#include "runtime/ui/qtservices.h"
#include "support/files.h"
#include "window/ui/frmtessarin.h"
#include "window/ui/picturebox.h"
#include "window/ui/textboxes.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The window with the services a user meets: the X clipboard and Qt's own file dialog.
class TestRealServices : public QObject
{
    Q_OBJECT

    QtServices services;
    std::unique_ptr<FrmTessarin> w;

    // The collage of the start-up texts, as "生成" must make it.
    QString startUpCollage() const
    {
        return CollageText(w->Pic2->Image(), {u"砾"_qs, u"\u3000"_qs});
    }

private Q_SLOTS:
    void init()
    {
        QCOMPARE(QGuiApplication::platformName(), u"xcb"_qs);
        w = std::make_unique<FrmTessarin>(services);
        services.SetDialogParent(w.get());
        w->Form_Load();
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->CmdConv_Click();
        QCOMPARE(w->TxtOut->toPlainText(), WithLineFeeds(startUpCollage()));
    }
    void cleanup() { w.reset(); }

    // "复制文字" puts the whole collage on the clipboard, with the line breaks of the platform.
    // "保存文本" asks through Qt's save dialog, offering the text files first; the name typed
    // there gets the collage in the code page with CR LF, and is offered at the next save with
    // the file type chosen, whichever it is; a cancelled dialog writes nothing.
    void copyAndSaveThroughTheDialog()
    {
        QApplication::clipboard()->setText(u"before"_qs);
        w->mnuCopyText->trigger();
        QTRY_COMPARE(QApplication::clipboard()->text(), WithLineFeeds(startUpCollage()));
        QTemporaryDir dir;
        const QString path = dir.filePath(u"collage.txt"_qs);
        QStringList offered;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog || dialog->property("answered").toBool())
                return;
            dialog->setProperty("answered", true);
            if (!offered.isEmpty()) { // later: the name and type chosen the time before
                offered << dialog->selectedFiles().value(0) << dialog->selectedNameFilter();
                dialog->selectNameFilter(u"文本文件(*.txt)"_qs);
                QMetaObject::invokeMethod(dialog, offered.size() < 6 ? "accept" : "reject");
                return;
            }
            offered = dialog->nameFilters() << dialog->selectedNameFilter();
            dialog->selectNameFilter(u"所有文件(*.*)"_qs);
            QTimer::singleShot(20000, dialog, &QDialog::reject); // a dialog left open is given up
            dialog->activateWindow();
            QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == dialog; }));
            // Typed as a user types.
            QProcess::startDetached(u"sh"_qs,
                {u"-c"_qs, u"xdotool type --delay 10 \"$0\" && xdotool key Return"_qs, path});
        });
        answer.start(50);
        w->mnuSave->trigger();
        QCOMPARE(testsupport::readAll(path), ToAnsi(startUpCollage()));
        w->TxtOut->setPlainText(u"砾"_qs);
        w->mnuSave->trigger();
        w->TxtOut->setPlainText(u"不保存"_qs); // the third dialog is cancelled: nothing written
        w->mnuSave->trigger();
        answer.stop();
        QCOMPARE(offered,
            QStringList({u"文本文件(*.txt)"_qs, u"所有文件(*.*)"_qs, u"文本文件(*.txt)"_qs, path,
                u"所有文件(*.*)"_qs, path, u"文本文件(*.txt)"_qs}));
        QCOMPARE(testsupport::readAll(path), ToAnsi(u"砾"_qs));
    }
};

QTEST_MAIN(TestRealServices)
#include "tst_realservices.moc"
