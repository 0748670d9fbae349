#include "runtime/twips.h"
#include "support/scriptedservices.h"
#include "support/testregistry.h"
#include "window/frmtessarin.h"
#include "window/picturebox.h"
#include "window/vbwidgets.h"

#include <QListWidget>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

class TestWindow : public QObject
{
    Q_OBJECT

    ScriptedServices services;
    std::unique_ptr<FrmTessarin> w;

    QWidget* control(const QString& name) const
    {
        auto* widget = w->findChild<QWidget*>(name);
        if (!widget)
            qFatal("no control named %s", qPrintable(name));
        return widget;
    }

private Q_SLOTS:
    void init() { w = std::make_unique<FrmTessarin>(services); }
    void cleanup() { w.reset(); }

    void windowAtCreation()
    {
        QCOMPARE(w->windowTitle(), QStringLiteral("墨砾版字符拼合画"));
        QCOMPARE(w->size(), QSize(312, 213)); // 4680 x 3195 twips
        QCOMPARE(w->windowIcon().pixmap(40, 40).size(), QSize(40, 40));
        QVERIFY(w->windowFlags() & Qt::WindowMaximizeButtonHint);
        QCOMPARE(w->minimumSize(), QSize(0, 0));
    }

    void controlTable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips"); // left, top, width, height
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tooltip");
        auto row = [](const char* name, QRect r, const QString& caption, const QString& tip) {
            QTest::newRow(name) << QString::fromLatin1(name) << r << caption << tip;
        };
        row("TxtSrc", {0, 0, 1500, 900}, {}, QStringLiteral("源字符"));
        row("TxtView1", {1500, 0, 1500, 900}, {}, QStringLiteral("显示字符"));
        row("TxtView2", {3000, 0, 1500, 900}, {}, QStringLiteral("空格字符"));
        row("TxtMapWidth", {0, 900, 750, 300}, QStringLiteral("12"), QStringLiteral("图片宽度"));
        row("TxtMapHeight", {750, 900, 750, 300}, QStringLiteral("12"), QStringLiteral("图片高度"));
        row("TxtHeight", {0, 1200, 1500, 300}, QStringLiteral("9"), QStringLiteral("字体大小"));
        row("ChkB", {0, 1500, 390, 270}, QStringLiteral("B"), QStringLiteral("粗体"));
        row("ChkI", {390, 1500, 360, 270}, QStringLiteral("I"), QStringLiteral("斜体"));
        row("ChkU", {750, 1500, 390, 270}, QStringLiteral("U"), QStringLiteral("下划线"));
        row("ChkD", {1140, 1500, 360, 270}, QStringLiteral("D"), QStringLiteral("删除线"));
        row("ChkDelRight", {0, 1740, 1425, 225}, QStringLiteral("删除右侧空格"), {});
        row("LblFontName", {270, 1980, 900, 180}, QStringLiteral("字体名"), {});
        row("ChkTxtFont", {0, 1950, 285, 225}, QStringLiteral(" "), {});
        row("ListFontName", {0, 2160, 1500, 1020}, {}, {});
        row("Lbl1", {1500, 900, 300, 600}, QStringLiteral("预览"), {});
        row("Lbl2", {1500, 1500, 300, 600}, QStringLiteral("显示"), {});
        row("CmdConv", {1500, 2190, 300, 600}, QStringLiteral("生成"), {});
        row("CmdMore", {1500, 2790, 300, 300}, QStringLiteral("▼"), QStringLiteral("More..."));
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
        QWidget* widget = control(name);
        QCOMPARE(
            widget->geometry(), TwipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
        QCOMPARE(widget->toolTip(), tooltip);
        QString shown;
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            shown = edit->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            shown = button->text();
        else if (auto* label = qobject_cast<QLabel*>(widget))
            shown = label->text();
        else if (auto* text = qobject_cast<QPlainTextEdit*>(widget))
            shown = text->toPlainText();
        QCOMPARE(shown, caption);
    }

    void valuesAtCreation()
    {
        QCOMPARE(w->TxtMapWidth->MaxLength(), 4);
        QCOMPARE(w->TxtMapHeight->MaxLength(), 4);
        QCOMPARE(w->TxtHeight->MaxLength(), 3);
        for (CheckBox* box : {w->ChkB, w->ChkI, w->ChkU, w->ChkD, w->ChkDelRight, w->ChkTxtFont})
            QCOMPARE(box->Value(), 0);
        QCOMPARE(w->ListFontName->count(), 0);
        for (ScrollBar* bar : {w->HSBar1, w->VSBar1}) {
            QCOMPARE(bar->Min(), 0);
            QCOMPARE(bar->Max(), 1024);
            QCOMPARE(bar->LargeChange(), 16);
            QCOMPARE(bar->SmallChange(), 1);
            QCOMPARE(bar->Value(), 0);
        }
        QCOMPARE(w->mProcessMode, 0);
        QVERIFY(!w->mShowOutput);
        QVERIFY(!w->mChangeFont);
        QVERIFY(w->mBgMapFile.isEmpty());
        QVERIFY(!w->TxtOut->isReadOnly());
        QCOMPARE(w->TxtOut->lineWrapMode(), QPlainTextEdit::NoWrap);
        for (MultiLineTextBox* box : {w->TxtSrc, w->TxtView1, w->TxtView2})
            QCOMPARE(box->lineWrapMode(), QPlainTextEdit::NoWrap);
    }

    void typedCharactersAreLimited_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("picture width takes 4")
            << QStringLiteral("TxtMapWidth") << QStringLiteral("1234");
        QTest::newRow("picture height takes 4")
            << QStringLiteral("TxtMapHeight") << QStringLiteral("1234");
        QTest::newRow("font size takes 3") << QStringLiteral("TxtHeight") << QStringLiteral("123");
    }

    void typedCharactersAreLimited()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        auto* field = static_cast<TextBox*>(control(name));
        field->clear();
        QTest::keyClicks(field, QStringLiteral("123456"));
        QCOMPARE(field->text(), expected);
        // The program is not held to the limit.
        field->setText(QStringLiteral("123456"));
        QCOMPARE(field->text(), QStringLiteral("123456"));
    }

    void fontsAndColours()
    {
        const QFont conv = w->CmdConv->font();
        QCOMPARE(conv.pointSizeF(), 12.0);
        QVERIFY(conv.bold());
        QCOMPARE(w->Lbl1->font().pointSizeF(), 12.0);
        QVERIFY(w->Lbl2->font().bold());
        QCOMPARE(w->CmdMore->font().pointSizeF(), 10.5);
        QVERIFY(w->ChkB->font().bold() && !w->ChkB->font().italic());
        QVERIFY(w->ChkI->font().italic() && !w->ChkI->font().bold());
        QVERIFY(w->ChkU->font().underline());
        QVERIFY(w->ChkD->font().strikeOut());
        QCOMPARE(w->Lbl1->ForeColor(), QColor(0, 128, 0));
        QCOMPARE(w->Lbl2->ForeColor(), QColor(0, 0, 128));
        QCOMPARE(w->Lbl1->BackStyle(), 1);
        QCOMPARE(w->Lbl2->BackStyle(), 0);
        QCOMPARE(w->Lbl1->BackColor(), w->Lbl2->BackColor());
    }

    void pictures()
    {
        QCOMPARE(w->Pic2->Image().size(), QSize(12, 12));
        QCOMPARE(w->Pic2->Image().pixel(5, 5), qRgb(255, 255, 255));
        QCOMPARE(w->Pic2->parentWidget()->parentWidget(), w->Pic1);
        QVERIFY(w->Pic3->isHidden());
        QVERIFY(w->Pic4->isHidden());
        QCOMPARE(w->Pic3->size(), QSize(36, 36));
        QCOMPARE(w->Pic4->size(), QSize(36, 36));
        QVERIFY(w->Pic3->Picture().isNull());
        QCOMPARE(w->Pic1->ScaleWidth(), w->Pic1->width() - 4);
    }

    void builtInBackgroundIsLightGrey()
    {
        const QImage tile = w->Pic4->Image();
        QCOMPARE(tile.size(), QSize(32, 32));
        QSet<QRgb> greys;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const QRgb p = tile.pixel(x, y);
                QVERIFY(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p));
                QVERIFY(qRed(p) >= 214 && qRed(p) <= 255);
                greys.insert(p);
            }
        }
        QCOMPARE(greys.size(), 16);
        QVERIFY(greys.contains(qRgb(214, 214, 214)));
        QVERIFY(greys.contains(qRgb(255, 255, 255)));
    }

    void tabOrder()
    {
        const QStringList expected = {QStringLiteral("TxtSrc"), QStringLiteral("TxtView1"),
            QStringLiteral("TxtView2"), QStringLiteral("TxtMapWidth"),
            QStringLiteral("TxtMapHeight"), QStringLiteral("TxtHeight"), QStringLiteral("ChkB"),
            QStringLiteral("ChkI"), QStringLiteral("ChkU"), QStringLiteral("ChkD"),
            QStringLiteral("ChkDelRight"), QStringLiteral("ChkTxtFont"),
            QStringLiteral("ListFontName"), QStringLiteral("CmdConv"), QStringLiteral("CmdMore"),
            QStringLiteral("Pic1"), QStringLiteral("HSBar1"), QStringLiteral("VSBar1"),
            QStringLiteral("Pic2"), QStringLiteral("TxtOut")};
        QStringList visited;
        QWidget* next = w->TxtSrc;
        do {
            if ((next->focusPolicy() & Qt::TabFocus) && !next->isHidden()
                && next->isWindow() == false && !next->objectName().isEmpty())
                visited.append(next->objectName());
            next = next->nextInFocusChain();
        } while (next != w->TxtSrc && visited.size() < 40);
        QCOMPARE(visited, expected);
    }

    void menuTree_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QStringList>("shortcuts");
        QTest::addColumn<QList<int>>("checks"); // -1 not checkable, 0 unchecked, 1 checked

        QTest::newRow("MnuPop") << QStringLiteral("MnuPop")
                                << QStringList {u"复制文字(&T)"_qs, u"保存文本(&S)"_qs,
                                       u"选择背景图片(&B)"_qs, u"设置默认背景图(&N)"_qs, u"-"_qs,
                                       u"自动切换(&Q)"_qs, u"默认大小(&D)"_qs, u"-"_qs,
                                       u"保持宽度(&K)"_qs, u"锁定文本框(&L)"_qs,
                                       u"输出文本框快捷菜单(&M)"_qs, u"-"_qs, u"处理方式(&F)"_qs}
                                << QStringList {u"Ctrl+T"_qs, u"Ctrl+S"_qs, u"Ctrl+B"_qs, {}, {},
                                       u"Ctrl+Q"_qs, {}, {}, u"Ctrl+K"_qs, u"Ctrl+L"_qs, {}, {}, {}}
                                << QList<int> {-1, -1, -1, -1, -1, 1, -1, -1, 0, 0, -1, -1, -1};
        QTest::newRow("mnuTxtOutPop")
            << QStringLiteral("mnuTxtOutPop")
            << QStringList {u"撤销(&U)"_qs, u"-"_qs, u"剪切(&T)"_qs, u"复制(&C)"_qs, u"粘贴(&P)"_qs,
                   u"删除(&L)"_qs, u"-"_qs, u"全选(&A)"_qs}
            << QStringList {u"Ctrl+Z"_qs, {}, {}, {}, {}, {}, {}, u"Ctrl+A"_qs}
            << QList<int> {-1, -1, -1, -1, -1, -1, -1, -1};
        QTest::newRow("mnuCLFS") << QStringLiteral(
            "mnuCLFS") << QStringList {u"最快！(&1)"_qs, u"较快！(&2)"_qs, u"较慢！(&3) K="_qs}
                                 << QStringList {u"F1"_qs, u"F2"_qs, u"F3"_qs}
                                 << QList<int> {0, 0, 0};
    }

    void menuTree()
    {
        QFETCH(QString, menu);
        QFETCH(QStringList, captions);
        QFETCH(QStringList, shortcuts);
        QFETCH(QList<int>, checks);
        QMenu* m = menu == u"MnuPop"_qs  ? w->MnuPop
            : menu == u"mnuTxtOutPop"_qs ? w->mnuTxtOutPop
                                         : w->mnuCLFS;
        const QList<QAction*> actions = m->actions();
        QCOMPARE(actions.size(), captions.size());
        for (qsizetype i = 0; i < actions.size(); ++i) {
            QAction* a = actions[i];
            QCOMPARE(a->isSeparator() ? u"-"_qs : a->text(), captions[i]);
            QCOMPARE(a->shortcut().toString(QKeySequence::PortableText), shortcuts[i]);
            QCOMPARE(a->isCheckable() ? int(a->isChecked()) : -1, checks[i]);
            QVERIFY(a->isEnabled());
        }
        QCOMPARE(w->MnuPop->title(), u"弹出"_qs);
        QCOMPARE(w->mnuFS[2], w->mnuCLFS->actions().at(2));
        QCOMPARE(w->mnuTxtOutPop->menuAction(), w->MnuPop->actions().at(10));
    }

    void dialogsAreConfiguredAtLoad()
    {
        w->Form_Load();
        QCOMPARE(w->CDlgSave.DialogTitle, u"请选择保存的文件："_qs);
        QCOMPARE(w->CDlgSave.Filter, u"文本文件(*.txt)|*.txt|所有文件(*.*)|*.*"_qs);
        QCOMPARE(w->CDlgOpen.DialogTitle, u"请选择图片文件："_qs);
        QVERIFY(w->CDlgOpen.Filter.startsWith(u"图片文件(*.bmp;*.jpg;*.gif;*.ico;*.cur)|"_qs));
        QVERIFY(w->CDlgOpen.Filter.endsWith(u"|光标文件(*.cur)|*.cur|*.*"_qs));
        for (const CommonDialog* d : {&w->CDlgSave, &w->CDlgOpen}) {
            QCOMPARE(d->FilterIndex, 1);
            QCOMPARE(d->Flags, 4);
        }
        QCOMPARE(w->TxtSrc->Text(), u"墨"_qs);
        QCOMPARE(w->TxtView1->Text(), u"砾"_qs);
        QCOMPARE(w->TxtView2->Text(), u"\u3000"_qs);
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

TESSARIN_TEST(TestWindow)
#include "tst_window.moc"
