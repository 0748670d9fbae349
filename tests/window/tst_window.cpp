#include "collage/defaultbackground.h"
#include "runtime/twips.h"
#include "support/scriptedservices.h"
#include "window/frmtessarin.h"
#include "window/picturebox.h"
#include "window/buttons.h"
#include "window/scrollbar.h"
#include "window/textboxes.h"

#include <QListWidget>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

class TestWindow : public QObject
{
    Q_OBJECT

    ScriptedServices services;
    std::unique_ptr<FrmTessarin> w;

private Q_SLOTS:
    void init() { w = std::make_unique<FrmTessarin>(services); }
    void cleanup() { w.reset(); }

    void atCreation()
    {
        QCOMPARE(w->windowTitle(), u"墨砾版字符拼合画"_qs);
        QCOMPARE(w->size(), QSize(312, 213)); // 4680 x 3195 twips
        QCOMPARE(w->windowIcon().pixmap(40, 40).size(), QSize(40, 40));
        QVERIFY(w->windowFlags() & Qt::WindowMaximizeButtonHint);
        for (CheckBox* box : {w->ChkB, w->ChkI, w->ChkU, w->ChkD, w->ChkDelRight, w->ChkTxtFont})
            QCOMPARE(box->Value(), 0);
        QCOMPARE(w->ListFontName->count(), 0);
        for (ScrollBar* bar : {w->HSBar1, w->VSBar1})
            QCOMPARE((QList<int> {bar->Max(), bar->pageStep(), bar->singleStep(), bar->Value()}),
                (QList<int> {1024, 16, 1, 0}));
        QVERIFY(!w->mShowOutput && !w->mChangeFont && !w->TxtOut->isReadOnly());
        QCOMPARE(w->findChildren<QPlainTextEdit*>().size(), 4);
        for (const QPlainTextEdit* box : w->findChildren<QPlainTextEdit*>())
            QCOMPARE(box->lineWrapMode(), QPlainTextEdit::NoWrap);

        QCOMPARE(w->CmdConv->font().pointSizeF(), 12.0);
        QVERIFY(w->CmdConv->font().bold() && w->Lbl2->font().bold());
        QCOMPARE(w->Lbl1->font().pointSizeF(), 12.0);
        QCOMPARE(w->CmdMore->font().pointSizeF(), 10.5);
        QVERIFY(w->ChkB->font().bold() && !w->ChkB->font().italic());
        QVERIFY(w->ChkI->font().italic() && !w->ChkI->font().bold());
        QVERIFY(w->ChkU->font().underline() && w->ChkD->font().strikeOut());

        QCOMPARE(w->Pic2->Image().size(), QSize(12, 12));
        QCOMPARE(w->Pic2->parentWidget()->parentWidget(), w->Pic1);
        QVERIFY(w->Pic3->isHidden() && w->Pic4->isHidden() && w->Pic3->Picture().isNull());
        QCOMPARE(w->Pic4->Image(), DefaultBackground());
        QCOMPARE(w->Pic1->ScaleWidth(), w->Pic1->width() - 4);
    }

    void controlTable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips"); // left, top, width, height
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tooltip");
        QTest::addColumn<int>("typed"); // how many characters typing takes; 0: no field
        auto row = [](const char* name, QRect r, const QString& caption, const QString& tip,
                       int typed = 0) {
            QTest::newRow(name) << QString::fromLatin1(name) << r << caption << tip << typed;
        };
        row("TxtSrc", {0, 0, 1500, 900}, {}, u"源字符"_qs);
        row("TxtView1", {1500, 0, 1500, 900}, {}, u"显示字符"_qs);
        row("TxtView2", {3000, 0, 1500, 900}, {}, u"空格字符"_qs);
        row("TxtMapWidth", {0, 900, 750, 300}, u"12"_qs, u"图片宽度"_qs, 4);
        row("TxtMapHeight", {750, 900, 750, 300}, u"12"_qs, u"图片高度"_qs, 4);
        row("TxtHeight", {0, 1200, 1500, 300}, u"9"_qs, u"字体大小"_qs, 3);
        row("ChkB", {0, 1500, 390, 270}, u"B"_qs, u"粗体"_qs);
        row("ChkI", {390, 1500, 360, 270}, u"I"_qs, u"斜体"_qs);
        row("ChkU", {750, 1500, 390, 270}, u"U"_qs, u"下划线"_qs);
        row("ChkD", {1140, 1500, 360, 270}, u"D"_qs, u"删除线"_qs);
        row("ChkDelRight", {0, 1740, 1425, 225}, u"删除右侧空格"_qs, {});
        row("LblFontName", {270, 1980, 900, 180}, u"字体名"_qs, {});
        row("ChkTxtFont", {0, 1950, 285, 225}, u" "_qs, {});
        row("ListFontName", {0, 2160, 1500, 1020}, {}, {});
        row("Lbl1", {1500, 900, 300, 600}, u"预览"_qs, {});
        row("Lbl2", {1500, 1500, 300, 600}, u"显示"_qs, {});
        row("CmdConv", {1500, 2190, 300, 600}, u"生成"_qs, {});
        row("CmdMore", {1500, 2790, 300, 300}, u"▼"_qs, u"More..."_qs);
        row("Pic1", {1800, 900, 2595, 2025}, {}, {});
        row("HSBar1", {1830, 2910, 2505, 240}, {}, {});
        row("VSBar1", {4410, 930, 240, 1845}, {}, {});
        row("TxtOut", {1800, 900, 2835, 2265}, {}, {});
        // Inside the viewport, in its pixels.
        row("Pic2", {0, 0, 180, 180}, {}, {});
        row("Pic3", {870, 180, 540, 540}, {}, {});
        row("Pic4", {900, 810, 540, 540}, {}, {});
    }

    void controlTable()
    {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        QFETCH(QString, caption);
        QFETCH(QString, tooltip);
        QFETCH(int, typed);
        QWidget* widget = w->findChild<QWidget*>(name);
        QVERIFY(widget);
        QCOMPARE(
            widget->geometry(), TwipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
        QCOMPARE(widget->toolTip(), tooltip);
        const bool box = qobject_cast<QPlainTextEdit*>(widget);
        QCOMPARE(widget->property(box ? "plainText" : "text").toString(), caption);
        if (auto* field = qobject_cast<TextBox*>(widget)) {
            field->clear();
            QTest::keyClicks(field, u"123456"_qs);
            QCOMPARE(field->text(), u"123456"_qs.left(typed));
            field->setText(u"123456"_qs); // the program is not held to the limit
            QCOMPARE(field->text(), u"123456"_qs);
        }
    }

    // Captions and shortcuts split at "|", a caption "-" is a separator; marks: "." not
    // checkable, "0" unchecked, "1" checked.
    void menuTree_data()
    {
        QTest::addColumn<int>("menu"); // the tree, the output box's part, the modes
        QTest::addColumn<QString>("captions");
        QTest::addColumn<QString>("shortcuts");
        QTest::addColumn<QString>("marks");
        QTest::newRow("MnuPop")
            << 0
            << u"复制文字(&T)|保存文本(&S)|选择背景图片(&B)|设置默认背景图(&N)|-|"
               u"自动切换(&Q)|默认大小(&D)|-|保持宽度(&K)|锁定文本框(&L)|"
               u"输出文本框快捷菜单(&M)|-|处理方式(&F)"_qs
            << u"Ctrl+T|Ctrl+S|Ctrl+B|||Ctrl+Q|||Ctrl+K|Ctrl+L|||"_qs << u".....1..00..."_qs;
        QTest::newRow("mnuTxtOutPop")
            << 1 << u"撤销(&U)|-|剪切(&T)|复制(&C)|粘贴(&P)|删除(&L)|-|全选(&A)"_qs
            << u"Ctrl+Z|||||||Ctrl+A"_qs << u"........"_qs;
        QTest::newRow("mnuCLFS") << 2 << u"最快！(&1)|较快！(&2)|较慢！(&3) K="_qs << u"F1|F2|F3"_qs
                                 << u"000"_qs;
    }

    void menuTree()
    {
        QFETCH(int, menu);
        QFETCH(QString, captions);
        QFETCH(QString, shortcuts);
        QFETCH(QString, marks);
        QStringList shownCaptions, shownShortcuts;
        QString shownMarks;
        for (QAction* a : std::array {w->MnuPop, w->mnuTxtOutPop, w->mnuCLFS}[menu]->actions()) {
            shownCaptions.append(a->isSeparator() ? u"-"_qs : a->text());
            shownShortcuts.append(a->shortcut().toString(QKeySequence::PortableText));
            shownMarks.append(!a->isCheckable() ? u'.' : a->isChecked() ? u'1' : u'0');
            QVERIFY(a->isEnabled());
        }
        QCOMPARE(shownCaptions.join(u'|'), captions);
        QCOMPARE(shownShortcuts.join(u'|'), shortcuts);
        QCOMPARE(shownMarks, marks);
        QCOMPARE(w->MnuPop->title(), u"弹出"_qs);
        QCOMPARE(w->mnuFS[2], w->mnuCLFS->actions().at(2));
        QCOMPARE(w->mnuTxtOutPop->menuAction(), w->MnuPop->actions().at(10));
    }

    // The dialogs' titles are checked where they open.
    void dialogsAtLoad()
    {
        w->Form_Load();
        QCOMPARE(w->CDlgSave.Filter, u"文本文件(*.txt)|*.txt|所有文件(*.*)|*.*"_qs);
        QVERIFY(w->CDlgOpen.Filter.startsWith(u"图片文件(*.bmp;*.jpg;*.gif;*.ico;*.cur)|"_qs));
        QVERIFY(w->CDlgOpen.Filter.endsWith(u"|光标文件(*.cur)|*.cur|*.*"_qs));
        for (const CommonDialog* d : {&w->CDlgSave, &w->CDlgOpen})
            QVERIFY(d->FilterIndex == 1);
    }

    // The main tree's keys act anywhere in the window; undo and select all belong
    // to the output box, so the source box keeps its own Ctrl+A.
    void shortcutContexts()
    {
        w->Form_Load();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QSignalSpy autoSwitch(w->mnuZDQH, &QAction::triggered);
        QSignalSpy selectAll(w->mnuSelAll, &QAction::triggered);
        w->TxtSrc->setFocus();
        w->TxtSrc->SetText(u"源字"_qs);
        QTest::keyClick(w->TxtSrc, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(selectAll.count(), 0);
        QCOMPARE(w->TxtSrc->textCursor().selectedText(), u"源字"_qs);
        QTest::keyClick(w->TxtSrc, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(autoSwitch.count(), 1);
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"