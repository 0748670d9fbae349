#include "collage/previewimage.h"
#include "support/scriptedservices.h"
#include "support/testregistry.h"
#include "window/frmtessarin.h"
#include "window/picturebox.h"
#include "window/vbwidgets.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QTest>

namespace {

// A Song face with crisp small sizes, as the program is drawn in on its home platform.
const QString PinnedFont = QStringLiteral("AR PL UMing CN");

QRect darkBounds(const QImage& image, int* count = nullptr)
{
    QRect bounds;
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                bounds |= QRect(x, y, 1, 1);
                ++dark;
            }
        }
    }
    if (count)
        *count = dark;
    return bounds;
}

QList<int> darkRows(const QImage& image)
{
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                rows.append(y);
                break;
            }
    return rows;
}

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT

    ScriptedServices services;
    std::unique_ptr<FrmTessarin> w;

    void showSource(const QString& text, QSize size)
    {
        w->Pic2->SetInnerSize(size.width(), size.height());
        w->TxtSrc->SetText(text);
        w->RenderPreview();
    }

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

    void emptySourceShowsOnlyTheTiles_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("smaller than the tile") << QSize(12, 12);
        QTest::newRow("several tiles, cut at the edges") << QSize(100, 40);
        QTest::newRow("one pixel") << QSize(1, 1);
    }

    void emptySourceShowsOnlyTheTiles()
    {
        QFETCH(QSize, size);
        showSource(QString(), size);
        const QImage& preview = w->Pic2->Image();
        const QImage& tile = w->Pic3->Image();
        QCOMPARE(preview.size(), size);
        QCOMPARE(tile.size(), QSize(32, 32));
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                QCOMPARE(preview.pixel(x, y), tile.pixel(x % 32, y % 32));
    }

    void largerBackgroundIsCutAtTheEdges()
    {
        QImage picture(100, 50, QImage::Format_RGB32);
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 100; ++x)
                picture.setPixel(x, y, qRgb(200 + x % 50, 255 - y, 220));
        w->Pic3->SetPicture(picture);
        showSource(QString(), QSize(12, 12));
        QCOMPARE(w->Pic3->ScaleWidth(), 100);
        QCOMPARE(w->Pic2->Image().copy(), picture.copy(0, 0, 12, 12));
    }

    // The default character at the default size sits in the top-left corner and is
    // drawn in crisp strokes: every pixel is either the background or pure black.
    void defaultCharacterIsDrawnCrispAtTheCorner()
    {
        showSource(QStringLiteral("墨"), QSize(12, 12));
        const QImage& preview = w->Pic2->Image();
        int dark = 0;
        const QRect bounds = darkBounds(preview, &dark);
        QVERIFY2(dark >= 20, qPrintable(QStringLiteral("only %1 dark pixels").arg(dark)));
        QVERIFY(bounds.left() <= 1 && bounds.top() <= 1);
        QVERIFY(bounds.width() >= 10 && bounds.height() >= 10);
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 12; ++x) {
                const QRgb p = preview.pixel(x, y);
                QVERIFY2(p == qRgb(0, 0, 0) || p == w->Pic3->Image().pixel(x, y),
                    qPrintable(QStringLiteral("grey smudge at %1,%2").arg(x).arg(y)));
            }
        }
    }

    void secondLineStartsOneLineHeightLower()
    {
        showSource(QStringLiteral("一"), QSize(40, 60));
        const QList<int> first = darkRows(w->Pic2->Image());
        QVERIFY(!first.isEmpty());
        showSource(QStringLiteral("一\n一"), QSize(40, 60));
        const QList<int> both = darkRows(w->Pic2->Image());
        const int lineHeight = QFontMetrics(w->Pic2->Font(), &w->Pic2->Image()).height();
        QList<int> expected = first;
        for (int row : first)
            expected.append(row + lineHeight);
        QCOMPARE(both, expected);
        // Both lines begin at the left edge.
        const QImage& preview = w->Pic2->Image();
        const QRect top = darkBounds(preview.copy(0, 0, 40, lineHeight));
        const QRect bottom = darkBounds(preview.copy(0, lineHeight, 40, 60 - lineHeight));
        QCOMPARE(bottom.left(), top.left());
    }

    void textBeyondTheEdgeIsCutNotWrapped()
    {
        showSource(QStringLiteral("一一一一一一一一"), QSize(30, 60));
        const QList<int> rows = darkRows(w->Pic2->Image());
        QVERIFY(!rows.isEmpty());
        const int lineHeight = QFontMetrics(w->Pic2->Font(), &w->Pic2->Image()).height();
        QVERIFY(rows.last() < lineHeight);
        // The strokes run to the right edge.
        QCOMPARE(darkBounds(w->Pic2->Image()).right(), 29);
    }

    // The companion draws without a window; for the same parameters it must get
    // the very pixels the window's preview holds.
    void drawingWithoutTheWindowGivesTheSamePixels()
    {
        services.fonts = {PinnedFont};
        w->LblFontName_DblClick();
        w->TxtMapWidth->setText(u"60"_qs);
        w->TxtMapHeight->setText(u"40"_qs);
        w->TxtHeight->setText(u"20"_qs);
        w->ChkB->SetValue(1);
        w->ChkD->SetValue(1);
        w->TxtSrc->SetText(u"墨砾\n砾"_qs);

        QImage preview = BlankPicture(60, 40, Qt::white);
        QImage tile = w->Pic4->Picture();
        DrawPreview(
            preview, tile, PreviewFont(PinnedFont, 20, true, false, false, true), u"墨砾\n砾"_qs);
        QCOMPARE(preview, w->Pic2->Image());
    }

    void fontSizeInPointsGivesPixelsAt96Dpi()
    {
        w->Pic2->Font().setPointSize(36);
        showSource(QStringLiteral("一"), QSize(100, 100));
        // A 36-point em is 48 pixels; the horizontal stroke spans most of it.
        const QRect bounds = darkBounds(w->Pic2->Image());
        QVERIFY2(bounds.width() >= 36 && bounds.width() <= 48,
            qPrintable(QString::number(bounds.width())));
    }
};

TESSARIN_TEST(TestPreview)
#include "tst_preview.moc"
