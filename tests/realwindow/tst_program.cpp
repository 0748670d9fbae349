#include "runtime/codepage.h"
#include "support/files.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <xcb/xcb.h>

// The built program as a user meets it: started on a real X server with a
// settings file beside it, looked at, and closed through the window system.
namespace {

// What the close button of a window manager sends.
void askToClose(xcb_window_t window)
{
    xcb_connection_t* x
        = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const auto atom = [&](const char* name) {
        const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> reply(
            xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, uint16_t(strlen(name)), name), nullptr),
            &free);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    };
    xcb_client_message_event_t message {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom("WM_PROTOCOLS");
    message.data.data32[0] = atom("WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(x, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    xcb_flush(x);
}

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsWithItsSettingsAndWritesThemOnClose()
    {
        const QString built = qEnvironmentVariable("TESSARIN_PROGRAM");
        QTemporaryDir dir;
        const QString program = dir.filePath(u"tessarin"_qs);
        QVERIFY2(QFile::copy(built, program), "TESSARIN_PROGRAM names no program");
        const QString settings = dir.filePath(u"Tessarin.Ini"_qs);
        QVERIFY(testsupport::writeFile(settings,
            ToAnsi(u"[窗体]\r\nLeft=1500\r\nTop=1200\r\nWidth=6000\r\nHeight=4500\r\n"
                   u"WindowState=0\r\n[属性]\r\n图片宽=40\r\n图片高=20abc\r\n[设置]\r\n"
                   u"; kept as it stands\r\n处理方式=2\r\n亮度=5\r\n保持宽度=True\r\n"_qs)));

        QProcess process;
        process.start(program, {});
        QVERIFY(process.waitForStarted());

        QProcess xdotool;
        xdotool.start(u"xdotool"_qs,
            u"search --sync --onlyvisible --class tessarin "
            u"getwindowgeometry --shell"_qs.split(u' '));
        QVERIFY(xdotool.waitForFinished(20000));
        const QString shown = QString::fromLatin1(xdotool.readAllStandardOutput());
        // No window manager here: the outer bounds are the window's own.
        QVERIFY2(shown.contains(u"\nX=100\nY=80\nWIDTH=400\nHEIGHT=300\n"_qs), qPrintable(shown));
        const xcb_window_t window = shown.section(u'\n', 0, 0).mid(7).toUInt();
        askToClose(window);
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);

        const QString expected
            = u"[窗体]\r\nLeft=1500\r\nTop=1200\r\nWidth=6000\r\nHeight=4500\r\n"
              u"WindowState=0\r\n[属性]\r\n图片宽=40\r\n图片高=20\r\n字号=9\r\n"
              u"粗体=0\r\n斜体=0\r\n下划线=0\r\n删除线=0\r\n[设置]\r\n"
              u"; kept as it stands\r\n处理方式=2\r\n亮度=16\r\n保持宽度=True\r\n"
              u"删除右侧空格=0\r\n改变字体=0\r\n背景图片=\r\n自动切换=True\r\n"
              u"锁定输出文本框=False\r\n"_qs;
        QCOMPARE(FromAnsi(testsupport::readAll(settings)), expected);
    }
};

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
