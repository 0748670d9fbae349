// Prints how long the hot paths take at the largest picture, one line per figure:
// "name: median ms (min … max) over N runs", after a warm-up run. Runs on the
// offscreen platform; run it from a Release build.
#include "collage/collagetext.h"
#include "collage/defaultbackground.h"
#include "runtime/ui/qtservices.h"
#include "window/ui/buttons.h"
#include "window/ui/frmtessarin.h"
#include "window/ui/picturebox.h"
#include "window/ui/textboxes.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

namespace {

void report(const char* name, std::vector<double> ms, const char* unit = "ms")
{
    std::sort(ms.begin(), ms.end());
    std::printf("%s: %.2f %s (%.2f … %.2f) over %zu runs\n", name, ms[ms.size() / 2], unit,
        ms.front(), ms.back(), ms.size());
    std::fflush(stdout);
}

void measure(const char* name, int runs, const std::function<void()>& work,
    const std::function<void()>& between = {})
{
    work();
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        if (between)
            between();
        QElapsedTimer timer;
        timer.start();
        work();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    report(name, ms);
}

// The window as a user starts it: installed fonts, shown, painted once.
std::unique_ptr<FrmTessarin> shownWindow(QtServices& services)
{
    auto window = std::make_unique<FrmTessarin>(services);
    window->Form_Load();
    window->show();
    QCoreApplication::processEvents();
    return window;
}

// A 1024 x 1024 picture with "墨" at 700 points over the built-in background, the
// kind of picture the generator sees at its largest.
void largePreview(FrmTessarin& window)
{
    window.TxtMapWidth->setText(QStringLiteral("1024"));
    window.TxtMapHeight->setText(QStringLiteral("1024"));
    window.TxtHeight->setText(QStringLiteral("700"));
}

double peakRssMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Child modes, so that start-up and memory are measured in a process of their own.
int startupChild(QtServices& services)
{
    const auto window = shownWindow(services);
    return 0;
}

int memoryChild(QtServices& services)
{
    const auto window = shownWindow(services);
    largePreview(*window);
    window->CmdConv_Click();
    QCoreApplication::processEvents();
    std::printf("%.1f\n", peakRssMegabytes());
    return 0;
}

// A source of two million one-character lines (4 MiB) pasted into the source box with Ctrl+V
// until the box and the preview have painted, then one character typed: prints the two times in
// milliseconds and the peak memory in megabytes.
int pasteChild(QtServices& services)
{
    const auto window = shownWindow(services);
    window->mnuZDQH->setChecked(false);
    window->TxtSrc->SetText(QString());
    window->TxtSrc->setFocus();
    QGuiApplication::clipboard()->setText(QStringLiteral("a\n").repeated(2'000'000));
    const auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text) {
        QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
        QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
        QCoreApplication::sendEvent(window->TxtSrc, &down);
        QCoreApplication::sendEvent(window->TxtSrc, &up);
        window->TxtSrc->repaint();
        window->Pic2->repaint();
    };
    QElapsedTimer timer;
    timer.start();
    press(Qt::Key_V, Qt::ControlModifier, QString());
    const double pasteMs = timer.nsecsElapsed() / 1e6;
    timer.restart();
    press(Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
    const double keyMs = timer.nsecsElapsed() / 1e6;
    std::printf("%.1f %.1f %.1f\n", pasteMs, keyMs, peakRssMegabytes());
    return 0;
}

// A photograph-like 1024 x 1024 JPEG: smooth gradients, shapes and large text,
// so both converters see realistic, compressible but varied pixels.
int writeJpeg(const QString& path)
{
    QImage photo(1024, 1024, QImage::Format_RGB32);
    QPainter painter(&photo);
    QLinearGradient sky(0, 0, 1024, 1024);
    sky.setColorAt(0, QColor(250, 240, 220));
    sky.setColorAt(1, QColor(40, 60, 90));
    painter.fillRect(photo.rect(), sky);
    for (int i = 0; i < 24; ++i) {
        painter.setBrush(QColor::fromHsv((i * 37) % 360, 120, 60 + (i * 53) % 190));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPoint((i * 211) % 1024, (i * 389) % 1024), 40 + i * 5, 30 + i * 4);
    }
    QFont font;
    font.setPixelSize(420);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(photo.rect(), Qt::AlignCenter, QStringLiteral("墨"));
    painter.end();
    return photo.save(path, "JPEG", 90) ? 0 : 1;
}

std::vector<double> runChild(const char* mode, int runs, bool readOutput)
{
    std::vector<double> figures;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        QElapsedTimer timer;
        timer.start();
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(mode)});
        child.waitForFinished(60000);
        const double elapsed = timer.nsecsElapsed() / 1e6;
        figures.push_back(
            readOutput ? child.readAllStandardOutput().trimmed().toDouble() : elapsed);
    }
    return figures;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication app(argc, argv);
    QtServices services;
    const QString mode = argc > 1 ? QString::fromLatin1(argv[1]) : QString();
    if (mode == u"--startup-child")
        return startupChild(services);
    if (mode == u"--memory-child")
        return memoryChild(services);
    if (mode == u"--paste-child")
        return pasteChild(services);
    if (mode == u"--write-jpeg" && argc > 2)
        return writeJpeg(QString::fromLocal8Bit(argv[2]));

    const auto window = shownWindow(services);
    largePreview(*window);
    const QImage preview = window->Pic2->Image();

    for (int m = 0; m < 3; ++m) {
        const CollageOptions options {
            QStringLiteral("砾"), QStringLiteral("\u3000"), false, false, ProcessMode(m), 128};
        const QByteArray name = "generate_core_1024_mode" + QByteArray::number(m);
        measure(name.constData(), 21, [&] { CollageText(preview, options); });
    }

    measure("render_1024", 21, [&] { window->RenderPreview(); });
    QImage dot(1, 1, QImage::Format_RGB32);
    dot.fill(Qt::white);
    window->Pic3->SetPicture(dot);
    measure("render_1024_tile_1x1", 11, [&] { window->RenderPreview(); });
    window->Pic3->SetPicture(DefaultBackground());
    window->RenderPreview();

    // One character typed into the source box, until the preview is redrawn and shown.
    window->mnuZDQH->setChecked(false);
    window->TxtSrc->setFocus();
    measure(
        "keystroke_1024", 21,
        [&] {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QCoreApplication::sendEvent(window->TxtSrc, &press);
            QCoreApplication::sendEvent(window->TxtSrc, &release);
            window->Pic2->repaint();
        },
        [&] { window->TxtSrc->SetText(QStringLiteral("墨")); });

    // "生成" until the output box holds the text and has painted once.
    window->mnuZDQH->setChecked(true);
    measure(
        "generate_click_1024", 11,
        [&] {
            window->CmdConv_Click();
            window->TxtOut->repaint();
        },
        [&] { window->Lbl1_Click(); });

    report("startup", runChild("--startup-child", 7, false));
    report("peak_rss_1024", runChild("--memory-child", 3, true), "MB");

    std::vector<double> paste, key, peak;
    for (int run = 0; run < 3; ++run) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--paste-child")});
        child.waitForFinished(120000);
        const QList<QByteArray> figures = child.readAllStandardOutput().simplified().split(' ');
        if (figures.size() != 3)
            continue;
        paste.push_back(figures[0].toDouble());
        key.push_back(figures[1].toDouble());
        peak.push_back(figures[2].toDouble());
    }
    if (!paste.empty()) {
        report("paste_2m_lines", paste);
        report("keystroke_2m_lines", key);
        report("peak_rss_2m_lines", peak, "MB");
    }
    return 0;
}
