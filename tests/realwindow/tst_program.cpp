#include "runtime/codepage.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <xcb/xcb.h>

// The built program as a user meets it: started on a real X server with a
// settings file beside it, looked at, and closed through the window system.
namespace {

xcb_connection_t* connection()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_atom_t atom(const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection(), xcb_intern_atom(connection(), 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return result;
}

QString windowTitle(xcb_window_t window)
{
    const xcb_atom_t utf8 = atom("UTF8_STRING");
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection(),
        xcb_get_property(connection(), 0, window, atom("_NET_WM_NAME"), utf8, 0, 1024), nullptr);
    QString title;
    if (reply && xcb_get_property_value_length(reply) > 0)
        title = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply)),
            xcb_get_property_value_length(reply));
    free(reply);
    return title;
}

// The top-level window with this title, or 0.
xcb_window_t findWindow(const QString& title)
{
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection())).data;
    xcb_query_tree_reply_t* tree
        = xcb_query_tree_reply(connection(), xcb_query_tree(connection(), screen->root), nullptr);
    xcb_window_t found = 0;
    if (tree) {
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree) && !found; ++i)
            if (windowTitle(children[i]) == title)
                found = children[i];
        free(tree);
    }
    return found;
}

QRect windowGeometry(xcb_window_t window)
{
    xcb_get_geometry_reply_t* g
        = xcb_get_geometry_reply(connection(), xcb_get_geometry(connection(), window), nullptr);
    const QRect rect = g ? QRect(g->x, g->y, g->width, g->height) : QRect();
    free(g);
    return rect;
}

// What the close button of a window manager sends.
void askToClose(xcb_window_t window)
{
    xcb_client_message_event_t message {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom("WM_PROTOCOLS");
    message.data.data32[0] = atom("WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(
        connection(), 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    xcb_flush(connection());
}

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsWithItsSettingsAndWritesThemOnClose()
    {
        const QString built = qEnvironmentVariable("TESSARIN_PROGRAM");
        QVERIFY2(QFile::exists(built), "TESSARIN_PROGRAM names no program");
        QTemporaryDir dir;
        const QString program = dir.filePath(u"tessarin"_qs);
        QVERIFY(QFile::copy(built, program));
        const QString settings = dir.filePath(u"Tessarin.Ini"_qs);
        {
            QFile file(settings);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(
                ToAnsi(u"[窗体]\r\nLeft=1500\r\nTop=1200\r\nWidth=6000\r\nHeight=4500\r\n"
                       u"WindowState=0\r\n[属性]\r\n图片宽=40\r\n图片高=20abc\r\n[设置]\r\n"
                       u"; kept as it stands\r\n处理方式=2\r\n亮度=5\r\n保持宽度=True\r\n"_qs));
        }

        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_qs, u"xcb"_qs);
        process.setProcessEnvironment(environment);
        process.start(program, {});
        QVERIFY(process.waitForStarted());

        const QString title = u"墨砾版字符拼合画"_qs;
        xcb_window_t window = 0;
        QTRY_VERIFY_WITH_TIMEOUT((window = findWindow(title)) != 0, 20000);
        // No window manager here: the outer bounds are the window's own.
        QTRY_COMPARE_WITH_TIMEOUT(windowGeometry(window), QRect(100, 80, 400, 300), 5000);

        QTest::qWait(300);
        const QImage shot = qGuiApp->primaryScreen()->grabWindow(window).toImage();
        QVERIFY(!shot.isNull());
        // The preview picture, 40 x 20 as stored, inside the viewport's 2-pixel border.
        const QPoint picture(120 + 2, 60 + 2);
        int dark = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x)
                dark += qGray(shot.pixel(picture + QPoint(x, y))) < 128;
        QVERIFY(dark > 20);
        const QRgb beside = shot.pixel(picture + QPoint(41, 5));
        QVERIFY(qGray(beside) > 128);
        QCOMPARE(shot.pixel(picture + QPoint(41, 25)), beside); // the viewport's own colour
        const QString output = qEnvironmentVariable("TESSARIN_TEST_OUTPUT", QDir::tempPath());
        QDir().mkpath(output);
        shot.save(output + u"/program.png"_qs);

        askToClose(window);
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);

        QFile file(settings);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString expected
            = u"[窗体]\r\nLeft=1500\r\nTop=1200\r\nWidth=6000\r\nHeight=4500\r\n"
              u"WindowState=0\r\n[属性]\r\n图片宽=40\r\n图片高=20\r\n字号=9\r\n"
              u"粗体=0\r\n斜体=0\r\n下划线=0\r\n删除线=0\r\n[设置]\r\n"
              u"; kept as it stands\r\n处理方式=2\r\n亮度=16\r\n保持宽度=True\r\n"
              u"删除右侧空格=0\r\n改变字体=0\r\n背景图片=\r\n自动切换=True\r\n"
              u"锁定输出文本框=False\r\n"_qs;
        QCOMPARE(FromAnsi(file.readAll()), expected);
    }
};

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
