#include "output/resultfile.h"
#include "support/files.h"
#include "support/loadedwindow.h"
#include "support/scriptedservices.h"
#include "window/frmtessarin.h"
#include "window/textboxes.h"

#include <QDir>
#include <QHash>
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

    // Fresh text, so the box's undo history starts empty, with the given selection.
    void setText(const QString& text, int anchor = 0, int position = 0)
    {
        w->TxtOut->setPlainText(text);
        select(anchor, position);
    }
    void select(int anchor, int position)
    {
        QTextCursor cursor = w->TxtOut->textCursor();
        cursor.setPosition(anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        w->TxtOut->setTextCursor(cursor);
    }

    void run(const QString& command)
    {
        static const QHash<QString, void (FrmTessarin::*)()> commands {
            {u"copy"_qs, &FrmTessarin::mnuCopy_Click},
            {u"cut"_qs, &FrmTessarin::mnuCut_Click},
            {u"delete"_qs, &FrmTessarin::mnuDel_Click},
            {u"paste"_qs, &FrmTessarin::mnuPaste_Click},
            {u"paste nothing"_qs, &FrmTessarin::mnuPaste_Click},
            {u"copy text"_qs, &FrmTessarin::mnuCopyText_Click},
            {u"select all"_qs, &FrmTessarin::mnuSelAll_Click},
        };
        (w.get()->*commands.value(command))();
    }

private Q_SLOTS:
    void init() { w = LoadedWindow(services); }
    void cleanup() { w.reset(); }

    // Every command for each kind of selection. A paste replaces the selection as a cut would.
    void commands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("selected"); // as the clipboard gets it
        QTest::addColumn<QString>("after"); // the box once the selection is gone

        for (const char* command :
            {"copy", "cut", "delete", "paste", "paste nothing", "copy text", "select all"}) {
            const auto row = [&](const char* name, const QString& before, int anchor, int position,
                                 const QString& selected, const QString& after) {
                QTest::addRow("%s, %s", command, name) << QString::fromLatin1(command) << before
                                                       << anchor << position << selected << after;
            };
            row("inside a line", "墨砾版", 1, 3, "砾版", "墨");
            row("selected backwards", "abcdef", 4, 1, "bcd", "aef");
            row("across lines", "ab\ncd\nef", 1, 7, "b\ncd\ne", "af");
            row("whole lines, empty ones too", "ab\n\n", 0, 4, "ab\n\n", "");
            row("bare caret", "abc", 2, 2, "", "abc");
            row("no-break space", "a\u00a0b", 0, 2, "a\u00a0", "b");
            row("empty box", "", 0, 0, "", "");
        }
    }
    void commands()
    {
        QFETCH(QString, command);
        QFETCH(QString, before);
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(QString, selected);
        QFETCH(QString, after);

        // What a paste takes; for the other commands something that no command put there.
        const QString earlier = command == u"paste" ? u"砾\r\n\u3000\n"_qs
            : command == u"paste nothing"           ? QString()
                                                    : u"earlier"_qs;
        setText(before, anchor, position);
        services.clipboardText = earlier;
        services.clipboardHasOther = true;
        QSignalSpy changes(w->TxtOut, &QPlainTextEdit::textChanged);
        run(command);

        const bool copies = command == u"copy" || command == u"cut" || command == u"copy text";
        const bool removes = command == u"cut" || command == u"delete" || command.startsWith(u"p");
        const QString pasted = command == u"paste" ? u"砾\n\u3000\n"_qs : QString();
        const int start = qMin(anchor, position);
        QCOMPARE(text(), removes ? QString(after).insert(start, pasted) : before);
        QCOMPARE(clipboard(), !copies ? earlier : command == u"copy text" ? before : selected);
        QCOMPARE(services.clipboardHasOther, !copies);
        const QTextCursor cursor = w->TxtOut->textCursor();
        if (removes) {
            QVERIFY(!cursor.hasSelection());
            QCOMPARE(cursor.position(), start + pasted.size());
        } else {
            QCOMPARE(changes.count(), 0);
            const bool all = command == u"select all";
            QCOMPARE(cursor.anchor(), all ? 0 : anchor);
            QCOMPARE(cursor.position(), all ? before.size() : position);
        }
        if (command == u"select all") {
            w->mnuCopy_Click();
            QCOMPARE(clipboard(), before);
        }
        // One command is one step of the box's undo; after it, nothing is left to undo.
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
        services.clipboardText = u"x"_qs;
        for (int step = 1; step < states.size(); ++step) {
            // Pastes go one after another; deletes and cuts take the character after the caret.
            select(command == u"paste" ? step : 1, command == u"paste" ? step : 2);
            run(command);
            QCOMPARE(text(), states[step]);
        }
        for (qsizetype step = states.size() - 2; step >= 0; --step) {
            w->mnuUnDo_Click();
            QCOMPARE(text(), states[step]);
        }
    }

    void cutThenPasteMovesText()
    {
        setText(u"墨砾\n字画"_qs, 0, 2);
        w->mnuCut_Click();
        QTextCursor caret = w->TxtOut->textCursor();
        caret.movePosition(QTextCursor::End);
        w->TxtOut->setTextCursor(caret);
        w->mnuPaste_Click();
        QCOMPARE(text(), u"\n字画墨砾"_qs);
        QCOMPARE(w->TxtOut->textCursor().position(), int(text().size()));
    }

    // Each save offers the name chosen last and replaces the whole file; a cancel writes nothing.
    void save()
    {
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("结果.txt"));
        const QString second = dir.filePath(QStringLiteral("second.txt"));
        QVERIFY(writeFile(second, QByteArray(4096, 'x')));
        const QString offeredAtStart = w->CDlgSave.FileName;
        const auto save = [&](const QString& boxText, const std::optional<QString>& reply) {
            setText(boxText);
            services.saveReplies.enqueue(reply);
            w->mnuSave_Click();
        };
        save(u"砾\u3000砾\r\n\u3000砾\u3000"_qs, first);
        QCOMPARE(
            readAll(first).toHex(' '), QByteArray("c0 f9 a1 a1 c0 f9 0d 0a a1 a1 c0 f9 a1 a1"));
        save(u"\u00a0a\r\n"_qs, second);
        save(u"cancelled"_qs, std::nullopt);
        QCOMPARE(readAll(second).toHex(' '), QByteArray("81 30 84 32 61 0d 0a"));
        save(QString(), first);
        QCOMPARE(readAll(first), QByteArray());
        QCOMPARE(entriesBelow(dir.path()), QStringList({second, first}));

        QCOMPARE(services.dialogsShown.size(), 4);
        QCOMPARE(services.dialogsShown[0].DialogTitle, u"请选择保存的文件："_qs);
        QCOMPARE(services.dialogsShown[0].FileName, offeredAtStart);
        QCOMPARE(services.dialogsShown[1].FileName, first);
        QCOMPARE(services.dialogsShown[2].FileName, second);
        QCOMPARE(services.dialogsShown[3].FileName, second);
        QVERIFY(services.warnings.isEmpty());
    }

    void failedSaveWarnsOnce()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("缺少的文件夹/result.txt"));
        setText(QStringLiteral("砾"));
        services.saveReplies.enqueue(path);
        w->mnuSave_Click();

        QVERIFY(entriesBelow(dir.path()).isEmpty());
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

QTEST_MAIN(TestOutput)
#include "tst_output.moc"
