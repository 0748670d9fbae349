#include "output/resultfile.h"
#include "support/files.h"
#include "support/scriptedservices.h"
#include "support/testregistry.h"
#include "window/frmtessarin.h"
#include "window/vbwidgets.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

using namespace testsupport;

class TestOutput : public QObject
{
    Q_OBJECT

    ScriptedServices services;
    std::unique_ptr<FrmTessarin> w;

    // The box's text with its no-break spaces, which the plain-text view turns into blanks.
    QString text() const
    {
        return w->TxtOut->document()->toRawText().replace(QChar::ParagraphSeparator, u'\n');
    }
    QString clipboard() const { return services.clipboardText.value_or(u"<no text>"_qs); }

    // Fresh text: the box's undo history starts empty.
    void setText(const QString& text) { w->TxtOut->setPlainText(text); }

    void select(int anchor, int position)
    {
        QTextCursor cursor = w->TxtOut->textCursor();
        cursor.setPosition(anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        w->TxtOut->setTextCursor(cursor);
    }

    // Something on the clipboard that no command put there.
    void fillClipboard()
    {
        services.clipboardText = QStringLiteral("earlier");
        services.clipboardHasOther = true;
    }

    void runCommand(const QString& name)
    {
        if (name == u"cut")
            w->mnuCut_Click();
        else if (name == u"copy")
            w->mnuCopy_Click();
        else if (name == u"paste")
            w->mnuPaste_Click();
        else if (name == u"delete")
            w->mnuDel_Click();
        else
            QFAIL(qPrintable(QStringLiteral("no command ") + name));
    }

    // The commands that act on the selection, one row per kind of selection.
    static void selectionTable()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("selected"); // as the clipboard gets it
        QTest::addColumn<QString>("after"); // the box once the selection is gone

        QTest::newRow("inside a line") << "墨砾版" << 1 << 3 << "砾版"
                                       << "墨";
        QTest::newRow("selected backwards") << "abcdef" << 4 << 1 << "bcd"
                                            << "aef";
        QTest::newRow("across lines") << "ab\ncd\nef" << 1 << 7 << "b\ncd\ne"
                                      << "af";
        QTest::newRow("whole lines with the last break") << "ab\ncd\n"
                                                         << 0 << 6 << "ab\ncd\n"
                                                         << "";
        QTest::newRow("empty lines") << "\n\n"
                                     << 0 << 2 << "\n\n"
                                     << "";
        QTest::newRow("bare caret") << "abc" << 2 << 2 << ""
                                    << "abc";
        QTest::newRow("no-break space") << "a\u00a0b" << 0 << 2 << "a\u00a0"
                                        << "b";
    }

private Q_SLOTS:
    void init()
    {
        services = ScriptedServices();
        w = std::make_unique<FrmTessarin>(services);
        w->Form_Load();
    }
    void cleanup() { w.reset(); }

    void copy_data() { selectionTable(); }
    void copy()
    {
        QFETCH(QString, before);
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(QString, selected);

        setText(before);
        select(anchor, position);
        fillClipboard();
        w->mnuCopy_Click();

        QCOMPARE(clipboard(), selected);
        QVERIFY(!services.clipboardHasOther);
        QCOMPARE(text(), before);
        QCOMPARE(w->TxtOut->textCursor().anchor(), anchor);
        QCOMPARE(w->TxtOut->textCursor().position(), position);
    }

    void cut_data() { selectionTable(); }
    void cut()
    {
        QFETCH(QString, before);
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(QString, selected);
        QFETCH(QString, after);

        setText(before);
        select(anchor, position);
        fillClipboard();
        w->mnuCut_Click();

        QCOMPARE(clipboard(), selected);
        QVERIFY(!services.clipboardHasOther);
        QCOMPARE(text(), after);
        QVERIFY(!w->TxtOut->textCursor().hasSelection());
        QCOMPARE(w->TxtOut->textCursor().position(), qMin(anchor, position));
    }

    void del_data() { selectionTable(); }
    void del()
    {
        QFETCH(QString, before);
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(QString, after);

        setText(before);
        select(anchor, position);
        fillClipboard();
        w->mnuDel_Click();

        QCOMPARE(text(), after);
        QVERIFY(!w->TxtOut->textCursor().hasSelection());
        QCOMPARE(w->TxtOut->textCursor().position(), qMin(anchor, position));
        QCOMPARE(clipboard(), u"earlier"_qs);
        QVERIFY(services.clipboardHasOther);
    }

    void paste_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("caret");

        QTest::newRow("at the caret") << "ac" << 1 << 1 << "b"
                                      << "abc" << 2;
        QTest::newRow("at the end") << "ab" << 2 << 2 << "砾\u3000"
                                    << "ab砾\u3000" << 4;
        QTest::newRow("over a selection") << "a123d" << 1 << 4 << "bc"
                                          << "abcd" << 3;
        QTest::newRow("over a backward selection") << "a123d" << 4 << 1 << "bc"
                                                   << "abcd" << 3;
        QTest::newRow("over lines") << "ab\ncd\nef" << 1 << 7 << "X"
                                    << "aXf" << 2;
        QTest::newRow("lines with LF") << "ad" << 1 << 1 << "b\nc"
                                       << "ab\ncd" << 4;
        QTest::newRow("lines with CR LF") << "ad" << 1 << 1 << "b\r\nc\r\n"
                                          << "ab\nc\nd" << 5;
        QTest::newRow("empty text over a selection") << "abc" << 0 << 2 << ""
                                                     << "c" << 0;
    }
    void paste()
    {
        QFETCH(QString, before);
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(QString, pasted);
        QFETCH(QString, after);
        QFETCH(int, caret);

        setText(before);
        select(anchor, position);
        services.clipboardText = pasted;
        w->mnuPaste_Click();

        QCOMPARE(text(), after);
        QVERIFY(!w->TxtOut->textCursor().hasSelection());
        QCOMPARE(w->TxtOut->textCursor().position(), caret);
        QCOMPARE(clipboard(), pasted);
    }

    void cutThenPasteMoves_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("caret"); // where the text goes, once cut
        QTest::addColumn<QString>("after");

        QTest::newRow("to the end") << "墨砾版字符" << 1 << 3 << 3 << "墨字符砾版";
        QTest::newRow("to the start") << "abc\ndef" << 4 << 7 << 0 << "defabc\n";
        QTest::newRow("a line down") << "ab\ncd\nef" << 0 << 3 << 3 << "cd\nab\nef";
    }
    void cutThenPasteMoves()
    {
        QFETCH(QString, before);
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(int, caret);
        QFETCH(QString, after);

        setText(before);
        select(anchor, position);
        w->mnuCut_Click();
        select(caret, caret);
        w->mnuPaste_Click();

        QCOMPARE(text(), after);
    }

    void selectAll_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");

        QTest::newRow("empty box") << "" << 0 << 0;
        QTest::newRow("one line, caret inside") << "砾\u3000砾" << 1 << 1;
        QTest::newRow("lines, partly selected backwards") << "ab\ncd" << 4 << 2;
        QTest::newRow("last line empty") << "ab\n" << 3 << 3;
        QTest::newRow("empty lines only") << "\n\n" << 1 << 1;
    }
    void selectAll()
    {
        QFETCH(QString, before);
        QFETCH(int, anchor);
        QFETCH(int, position);

        setText(before);
        select(anchor, position);
        QSignalSpy changes(w->TxtOut, &QPlainTextEdit::textChanged);
        w->mnuSelAll_Click();

        const QTextCursor cursor = w->TxtOut->textCursor();
        QCOMPARE(cursor.selectionStart(), 0);
        QCOMPARE(cursor.selectionEnd(), before.size());
        QCOMPARE(cursor.hasSelection(), !before.isEmpty());
        QCOMPARE(text(), before);
        QCOMPARE(changes.count(), 0);
        QVERIFY(!w->TxtOut->document()->isUndoAvailable());

        // The whole text is what a copy now takes.
        w->mnuCopy_Click();
        QCOMPARE(clipboard(), before);
    }

    // One command is one step of the box's undo, however many lines it touches.
    void undo_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("command");

        QTest::newRow("paste over a selection") << "a123d" << 1 << 4 << "b\nc"
                                                << "paste";
        QTest::newRow("paste lines at the caret") << "ad" << 1 << 1 << "x\r\ny\nz"
                                                  << "paste";
        QTest::newRow("delete across lines") << "ab\ncd\nef" << 1 << 7 << ""
                                             << "delete";
        QTest::newRow("cut across lines") << "ab\ncd" << 0 << 5 << ""
                                          << "cut";
    }
    void undo()
    {
        QFETCH(QString, before);
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(QString, pasted);
        QFETCH(QString, command);

        setText(before);
        select(anchor, position);
        services.clipboardText = pasted;
        runCommand(command);
        QVERIFY(text() != before);

        w->mnuUnDo_Click();
        QCOMPARE(text(), before);
        QVERIFY(!w->TxtOut->document()->isUndoAvailable());
    }

    // Commands in a row stay separate steps, even where the box would merge typed keys.
    void undoStepByStep_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("states"); // the text after each run of the command

        QTest::newRow("pastes") << "paste" << QStringList {"abcd", "axbcd", "axxbcd", "axxxbcd"};
        QTest::newRow("deletes") << "delete" << QStringList {"abcd", "acd", "ad", "a"};
        QTest::newRow("cuts") << "cut" << QStringList {"abcd", "acd", "ad", "a"};
    }
    void undoStepByStep()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, states);

        setText(states.first());
        services.clipboardText = QStringLiteral("x");
        for (int step = 1; step < states.size(); ++step) {
            // Pastes go one after another; deletes and cuts take the character after the caret.
            if (command == u"paste")
                select(step, step);
            else
                select(1, 2);
            runCommand(command);
            QCOMPARE(text(), states[step]);
        }
        for (qsizetype step = states.size() - 2; step >= 0; --step) {
            w->mnuUnDo_Click();
            QCOMPARE(text(), states[step]);
        }
    }

    void undoWithNothingToUndo()
    {
        setText(QStringLiteral("砾\n\u3000"));
        w->mnuUnDo_Click();
        QCOMPARE(text(), u"砾\n\u3000"_qs);
    }

    void copyText_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");

        QTest::newRow("part selected") << "ab\ncd" << 1 << 4;
        QTest::newRow("bare caret") << "砾\u3000\n\u3000砾" << 2 << 2;
        QTest::newRow("all selected") << "ab" << 0 << 2;
        QTest::newRow("last line empty") << "ab\n" << 0 << 0;
        QTest::newRow("no-break space") << "\u00a0砾\n" << 1 << 0;
        QTest::newRow("empty box") << "" << 0 << 0;
    }
    void copyText()
    {
        QFETCH(QString, before);
        QFETCH(int, anchor);
        QFETCH(int, position);

        setText(before);
        select(anchor, position);
        fillClipboard();
        w->mnuCopyText_Click();

        QCOMPARE(clipboard(), before);
        QVERIFY(!services.clipboardHasOther);
        QCOMPARE(text(), before);
        QCOMPARE(w->TxtOut->textCursor().anchor(), anchor);
        QCOMPARE(w->TxtOut->textCursor().position(), position);
    }

    void save_data()
    {
        QTest::addColumn<QString>("boxText"); // as the generator writes it
        QTest::addColumn<QByteArray>("existing"); // the file's bytes before, when not empty
        QTest::addColumn<QByteArray>("hex");

        QTest::newRow("default characters") << "砾\u3000砾\r\n\u3000砾\u3000" << QByteArray()
                                            << QByteArray("c0f9 a1a1 c0f9 0d0a a1a1 c0f9 a1a1");
        QTest::newRow("ruler line first")
            << "\r\nTT\r\n砾" << QByteArray() << QByteArray("0d0a 5454 0d0a c0f9");
        QTest::newRow("empty result") << "" << QByteArray("old") << QByteArray("");
        QTest::newRow("longer file before") << "a\r\n"
                                            << QByteArray(4096, 'x') << QByteArray("61 0d0a");
        QTest::newRow("no-break space") << "\u00a0a" << QByteArray() << QByteArray("81308432 61");
    }
    void save()
    {
        QFETCH(QString, boxText);
        QFETCH(QByteArray, existing);
        QFETCH(QByteArray, hex);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("结果.txt"));
        if (!existing.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(existing), existing.size());
        }
        setText(boxText);
        services.saveReplies.enqueue(path);
        w->mnuSave_Click();

        QCOMPARE(readAll(path).toHex(' '), QByteArray::fromHex(hex).toHex(' '));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList {QStringLiteral("结果.txt")});
        QCOMPARE(services.dialogsShown.size(), 1);
        QCOMPARE(services.dialogsShown[0].DialogTitle, u"请选择保存的文件："_qs);
        QVERIFY(services.warnings.isEmpty());
    }

    void saveOffersTheLastName()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString first = dir.filePath(QStringLiteral("first.txt"));
        const QString second = dir.filePath(QStringLiteral("second.txt"));
        for (const std::optional<QString>& reply :
            {std::optional(first), std::optional(second), std::optional<QString>()})
            services.saveReplies.enqueue(reply);

        const QString offeredAtStart = w->CDlgSave.FileName;
        setText(QStringLiteral("1"));
        w->mnuSave_Click();
        setText(QStringLiteral("2"));
        w->mnuSave_Click();
        setText(QStringLiteral("3"));
        w->mnuSave_Click();

        QCOMPARE(services.dialogsShown.size(), 3);
        QCOMPARE(services.dialogsShown[0].FileName, offeredAtStart);
        QCOMPARE(services.dialogsShown[1].FileName, first);
        QCOMPARE(services.dialogsShown[2].FileName, second);
        QCOMPARE(w->CDlgSave.FileName, second);
        QCOMPARE(readAll(first), QByteArray("1"));
        QCOMPARE(readAll(second), QByteArray("2"));
    }

    void cancelWritesNothing()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("result.txt"));
        services.saveReplies.enqueue(path);
        services.saveReplies.enqueue(std::nullopt);

        setText(QStringLiteral("saved"));
        w->mnuSave_Click();
        setText(QStringLiteral("not saved"));
        w->mnuSave_Click();

        QCOMPARE(services.dialogsShown.size(), 2);
        QCOMPARE(readAll(path), QByteArray("saved"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList {QStringLiteral("result.txt")});
        QVERIFY(services.warnings.isEmpty());
    }

    void failedSaveWarnsOnce()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("缺少的文件夹/result.txt"));
        setText(QStringLiteral("砾"));
        services.saveReplies.enqueue(path);
        w->mnuSave_Click();

        QVERIFY(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot));
        QCOMPARE(services.warnings.size(), 1);
        QCOMPARE(services.warnings[0].first, u"保存失败"_qs);
        const QString message = services.warnings[0].second;
        QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
        QString reason;
        QVERIFY(!WriteWholeFile(path, "", &reason));
        QVERIFY2(message.contains(reason), qPrintable(message));

        // The dialog still offers the name; once the folder is there the same save succeeds.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("缺少的文件夹")));
        services.saveReplies.enqueue(path);
        w->mnuSave_Click();
        QCOMPARE(services.dialogsShown.last().FileName, path);
        QCOMPARE(readAll(path).toHex(), QByteArray("c0f9"));
        QCOMPARE(services.warnings.size(), 1);
    }
};

TESSARIN_TEST(TestOutput)
#include "tst_output.moc"
