#include "support/scriptedservices.h"
#include "window/frmtessarin.h"
#include "window/picturebox.h"
#include "window/textboxes.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QTest>

namespace {

// A Song face with crisp small sizes, as the program is drawn in on its home platform.
const QString PinnedFont = QStringLiteral("AR PL UMing CN");

QRect darkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

QList<int> darkRows(const QImage& image)
{
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y)
        if (!darkBounds(image.copy(0, y, image.width(), 1)).isEmpty())
            rows.append(y);
    return rows;
}

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT

    ScriptedServices services;
    std::unique_ptr<FrmTessarin> w;

    const QImage& showSource(const QString& text, QSize size)
    {
        w->Pic2->SetInnerSize(size.width(), size.height());
        w->TxtSrc->SetText(text);
        w->RenderPreview();
        return w->Pic2->Image();
    }

    int lineHeight() const { return QFontMetrics(w->Pic2->Font(), &w->Pic2->Image()).height(); }

private Q_SLOTS:
    void initTestCase()
    {
        if (!QFontDatabase::families().contains(PinnedFont))
            QFAIL("the pinned CJK font is not installed (fonts-arphic-uming)");
    }

    void init()
    {
        w = std::make_unique<FrmTessarin>(services);
        w->Form_Load();
        w->Pic2->Font().setFamily(PinnedFont);
    }

    void cleanup() { w.reset(); }

    // The character fills most of the em square at the top-left corner, whose side the points
    // give at 96 dots per inch (12 pixels for 9 points, 48 for 36), drawn crisp from a bitmap
    // strike and from outlines alike: every pixel is the tile's or pure black, no antialiasing grey
    // that the pixel rules would judge one way or the other.
    void crispCharacterAtTheCorner_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("minWidth");
        QTest::addColumn<int>("em");
        QTest::newRow("9 points in the default 12 x 12") << 9 << 12 << 10 << 12;
        QTest::newRow("36 points") << 36 << 100 << 36 << 48;
    }

    void crispCharacterAtTheCorner()
    {
        QFETCH(int, points);
        QFETCH(int, side);
        QFETCH(int, minWidth);
        QFETCH(int, em);
        w->Pic2->Font().setPointSize(points);
        const QImage& preview = showSource(u"墨"_qs, QSize(side, side));
        const QRect bounds = darkBounds(preview);
        QVERIFY2(bounds.width() >= minWidth && bounds.height() >= minWidth && bounds.right() < em
                && bounds.bottom() < em,
            qPrintable(QStringLiteral("dark pixels in %1,%2 %3 x %4")
                           .arg(bounds.left())
                           .arg(bounds.top())
                           .arg(bounds.width())
                           .arg(bounds.height())));
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const QRgb p = preview.pixel(x, y);
                QVERIFY2(p == qRgb(0, 0, 0) || p == w->Pic3->Image().pixel(x % 32, y % 32),
                    qPrintable(QStringLiteral("grey smudge at %1,%2").arg(x).arg(y)));
            }
        }
    }

    // A second line starts one line height lower at the left edge; a line too long is cut at
    // the right edge, not wrapped.
    void linesAreNeitherWrappedNorShifted()
    {
        const QList<int> first = darkRows(showSource(u"一"_qs, QSize(40, 60)));
        QVERIFY(!first.isEmpty());
        const QImage& preview = showSource(u"一\n一"_qs, QSize(40, 60));
        QList<int> expected = first;
        for (int row : first)
            expected.append(row + lineHeight());
        QCOMPARE(darkRows(preview), expected);
        QCOMPARE(darkBounds(preview.copy(0, lineHeight(), 40, 60 - lineHeight())).left(),
            darkBounds(preview.copy(0, 0, 40, lineHeight())).left());

        const QImage& cut = showSource(u"一一一一一一一一"_qs, QSize(30, 60));
        QCOMPARE(darkRows(cut), first);
        QCOMPARE(darkBounds(cut).right(), 29);
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"