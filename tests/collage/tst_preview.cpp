#include "support/scriptedservices.h"
#include "window/frmtessarin.h"
#include "window/picturebox.h"
#include "window/vbwidgets.h"

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

    // The default character at the default size sits in the top-left corner and is
    // drawn in crisp strokes: every pixel is either the background or pure black.
    void defaultCharacterIsDrawnCrispAtTheCorner()
    {
        const QImage& preview = showSource(u"墨"_qs, QSize(12, 12));
        const QRect bounds = darkBounds(preview);
        QVERIFY(bounds.left() <= 1 && bounds.top() <= 1);
        QVERIFY(bounds.width() >= 10 && bounds.height() >= 10);
        int dark = 0;
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 12; ++x) {
                const QRgb p = preview.pixel(x, y);
                dark += p == qRgb(0, 0, 0);
                QVERIFY2(p == qRgb(0, 0, 0) || p == w->Pic3->Image().pixel(x, y),
                    qPrintable(QStringLiteral("grey smudge at %1,%2").arg(x).arg(y)));
            }
        }
        QVERIFY2(dark >= 20, qPrintable(QStringLiteral("only %1 dark pixels").arg(dark)));
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

    void fontSizeInPointsGivesPixelsAt96Dpi()
    {
        w->Pic2->Font().setPointSize(36);
        // A 36-point em is 48 pixels; the horizontal stroke spans most of it.
        const QImage& preview = showSource(u"墨"_qs, QSize(100, 100));
        const QRect bounds = darkBounds(preview);
        QVERIFY2(bounds.width() >= 36 && bounds.width() <= 48,
            qPrintable(QString::number(bounds.width())));
        // Drawn from outlines at this size, the strokes are still pure black: no
        // antialiasing greys that the pixel rules would judge one way or the other.
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                QVERIFY(preview.pixel(x, y) == qRgb(0, 0, 0)
                    || preview.pixel(x, y) == w->Pic3->Image().pixel(x % 32, y % 32));
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"