#include "runtime/commondialog.h"

#include <QTest>

class TestCommonDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The picture dialog's filter: a description that names its own patterns shows them once,
    // space-separated; a description alone stands for every file.
    void nameFilters()
    {
        const QString filter = u"图片文件(*.bmp;*.jpg;*.gif;*.ico;*.cur)|*.bmp;*.jpg;*.gif;*.ico;"
                               "*.cur|Windows位图(*.bmp)|*.bmp|Pictures|*.png;*.bmp|*.*"_qs;
        QCOMPARE(NameFilters(filter),
            QStringList({u"图片文件(*.bmp *.jpg *.gif *.ico *.cur)"_qs, u"Windows位图(*.bmp)"_qs,
                u"Pictures (*.png *.bmp)"_qs, u"*.* (*)"_qs}));
    }
};

QTEST_MAIN(TestCommonDialog)
#include "tst_commondialog.moc"
