#include "runtime/commondialog.h"

#include <QTest>

class TestCommonDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nameFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("save dialog")
            << QStringLiteral("文本文件(*.txt)|*.txt|所有文件(*.*)|*.*")
            << QStringList {QStringLiteral("文本文件(*.txt)"), QStringLiteral("所有文件(*.*)")};
        QTest::newRow("picture dialog, several patterns and a trailing description")
            << QStringLiteral(
                   "图片文件(*.bmp;*.jpg;*.gif;*.ico;*.cur)|*.bmp;*.jpg;*.gif;*.ico;*.cur|"
                   "Windows位图(*.bmp)|*.bmp|Jpeg文件(*.jpg)|*.jpg|GIF文件(*.gif)|*.gif|"
                   "图标文件(*.ico)|*.ico|光标文件(*.cur)|*.cur|*.*")
            << QStringList {QStringLiteral("图片文件(*.bmp *.jpg *.gif *.ico *.cur)"),
                   QStringLiteral("Windows位图(*.bmp)"), QStringLiteral("Jpeg文件(*.jpg)"),
                   QStringLiteral("GIF文件(*.gif)"), QStringLiteral("图标文件(*.ico)"),
                   QStringLiteral("光标文件(*.cur)"), QStringLiteral("*.* (*)")};
        QTest::newRow("description that does not name its patterns") << QStringLiteral(
            "Pictures|*.png;*.bmp") << QStringList {QStringLiteral("Pictures (*.png *.bmp)")};
        QTest::newRow("description naming other patterns keeps them and adds its own")
            << QStringLiteral("Text(*.txt)|*.log")
            << QStringList {QStringLiteral("Text(*.txt) (*.log)")};
        QTest::newRow("empty filter") << QString() << QStringList {};
    }

    void nameFilters()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(NameFilters(filter), expected);
    }
};

QTEST_MAIN(TestCommonDialog)
#include "tst_commondialog.moc"
