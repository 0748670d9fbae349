// Prints how long the hot paths take at the largest picture, one line per figure:
// "name: median ms (min … max) over N runs", after a warm-up run.
#include "collage/collagetext.h"
#include "collage/defaultbackground.h"
#include "runtime/qtservices.h"
#include "window/frmtessarin.h"
#include "window/picturebox.h"
#include "window/vbwidgets.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

void measure(const char* name, int runs, const std::function<void()>& work)
{
    work();
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%s: %.2f ms (%.2f … %.2f) over %d runs\n", name, ms[ms.size() / 2], ms.front(),
        ms.back(), runs);
    std::fflush(stdout);
}

// A 1024 x 1024 picture with "墨" drawn large over the built-in background, the
// kind of picture the generator sees at its largest.
QImage largePreview(FrmTessarin& window)
{
    window.Pic2->SetInnerSize(1024, 1024);
    window.Pic2->Font().setPointSize(700);
    window.TxtSrc->SetText(QStringLiteral("墨"));
    window.RenderPreview();
    return window.Pic2->Image();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication app(argc, argv);
    QtServices services;
    FrmTessarin window(services);
    window.Form_Load();
    const QImage preview = largePreview(window);

    for (int mode = 0; mode < 3; ++mode) {
        const CollageOptions options { QStringLiteral("砾"), QStringLiteral("\u3000"), false, false,
            ProcessMode(mode), 128 };
        const QByteArray name = "generate_core_1024_mode" + QByteArray::number(mode);
        measure(name.constData(), 21, [&] { CollageText(preview, options); });
    }

    measure("render_1024", 21, [&] { window.RenderPreview(); });
    QImage dot(1, 1, QImage::Format_RGB32);
    dot.fill(Qt::white);
    window.Pic3->SetPicture(dot);
    measure("render_1024_tile_1x1", 11, [&] { window.RenderPreview(); });
    window.Pic3->SetPicture(DefaultBackground());
    window.RenderPreview();

    measure("generate_click_1024", 11, [&] {
        window.CmdConv_Click();
        window.Lbl1_Click();
    });
    return 0;
}
