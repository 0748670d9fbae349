"""atspi_names.py PROGRAM: the window as a screen reader meets it, through AT-SPI on a session bus
of its own. Every focusable object has a name a user understands, the tabs are page tabs with the
shown one selected, the preview is named with its size; Qt's own texts are Chinese in any language.
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

work = tempfile.mkdtemp()
runtime = os.path.join(work, "runtime")
os.mkdir(runtime, 0o700)
# The accessibility bus puts its socket here, not in a folder another session shares; a desktop's
# own bus, named in the caller's environment, is left alone.
os.environ["XDG_RUNTIME_DIR"] = runtime
os.environ.pop("AT_SPI_BUS_ADDRESS", None)
for line in subprocess.check_output(["dbus-launch", "--sh-syntax"], text=True).splitlines():
    if line.startswith("DBUS_SESSION_BUS_"):
        key, value = line.rstrip(";").split("=", 1)
        os.environ[key] = value.strip("'")

import pyatspi  # noqa: E402  (it reaches the session bus named above)
from gi.repository import GLib  # noqa: E402

FOCUSABLE = {  # name: role
    "源字符": "text", "显示字符": "text", "空格字符": "text", "图片宽度": "text",
    "图片高度": "text", "字体大小": "text", "粗体": "check box", "斜体": "check box",
    "下划线": "check box", "删除线": "check box", "删除右侧空格": "check box",
    "改变字体": "check box", "字体名": "list", "生成": "push button", "更多": "push button",
    "预览区": "panel", "预览水平滚动条": "scroll bar", "预览垂直滚动条": "scroll bar",
    "预览图 12 × 12": "image", "输出文本": "text",
}


# The bus's news (a window come or gone, a state changed) reaches the cached tree only while the
# main loop runs.
def wait_for(what, find, seconds=20):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while GLib.MainContext.default().iteration(False):
            pass
        found = find()
        if found:
            return found
        time.sleep(0.05)
    sys.exit("FAIL: " + what)


def objects(root):
    return [root] + [o for child in root if child is not None for o in objects(child)]


def named(app, name, role=None):
    return next((o for o in objects(app) if o.name == name and role in (None, o.getRoleName())),
                None)


def has(accessible, state):
    return accessible.getState().contains(state)


# Keys go to the program's window, which takes the keyboard focus first: no window manager does.
def key(process, *keys):
    subprocess.run(["xdotool", "search", "--sync", "--all", "--onlyvisible", "--pid",
                    str(process.pid), "--class", "tessarin", "windowfocus", "--sync",
                    *(["key", *keys] if keys else [])], check=True, timeout=30)


def start(language):
    env = {k: v for k, v in os.environ.items() if k != "LC_ALL"} | dict(
        LANG=language, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
        XDG_CONFIG_HOME=os.path.join(work, "config"))
    process = subprocess.Popen([os.path.join(work, "tessarin")], cwd=work, env=env)
    desktop = pyatspi.Registry.getDesktop(0)

    def shown():
        if process.poll() is not None:
            sys.exit(f"FAIL: the program ended with {process.returncode} under {language}")
        return next((a for a in desktop if a is not None and a.get_process_id() == process.pid
                     and named(a, "生成")), None)
    return process, wait_for("the window on the accessibility bus", shown)


def check_names(process, app):
    focusable = {o.name: o.getRoleName() for o in objects(app)
                 if has(o, pyatspi.STATE_FOCUSABLE) and o.getRoleName() != "list item"}
    if focusable != FOCUSABLE:
        sys.exit(f"FAIL: focusable objects {focusable}")
    tabs = [(o.name, has(o, pyatspi.STATE_SELECTED)) for o in objects(app)
            if o.getRoleName() == "page tab"]
    if tabs != [("预览", True), ("显示", False)]:
        sys.exit(f"FAIL: tabs {tabs}")
    shown = named(app, "显示", "page tab")
    key(process)
    shown.queryAction().doAction(0)
    wait_for("显示 selected by its action, the output box focused",
             lambda: has(shown, pyatspi.STATE_SELECTED)
             and not has(named(app, "预览", "page tab"), pyatspi.STATE_SELECTED)
             and has(named(app, "输出文本"), pyatspi.STATE_FOCUSED))
    named(app, "图片宽度").queryEditableText().setTextContents("20")
    wait_for("the preview named with its new size", lambda: named(app, "预览图 20 × 12", "image"))


def main():
    shutil.copy(sys.argv[1], work)
    os.mkdir(os.path.join(work, "文件夹一"))
    with open(os.path.join(work, "a.txt"), "wb") as f: f.write(b"abc")
    # Qt's own texts in two system languages (no LANG at all is C again); the names once.
    for language in ["en_US.UTF-8", "C"]:
        process, app = start(language)
        try:
            if language == "en_US.UTF-8":
                check_names(process, app)
            key(process, "F3")
            wait_for(f"the input box's buttons in Chinese under {language}",
                     lambda: named(app, "确定", "push button") and named(app, "取消", "push button"))
            named(app, "取消", "push button").queryAction().doAction(0)
            wait_for("the input box closed", lambda: not named(app, "确定", "push button"))
            key(process, "ctrl+s")
            wait_for(f"the file dialog's columns in Chinese under {language}", lambda: all(
                named(app, cell) for cell in ["名称", "文件夹", "3 字节", "TXT 文件"]))
            named(app, "取消", "push button").queryAction().doAction(0)
        finally:
            process.send_signal(signal.SIGTERM)
            process.wait(timeout=20)
    print("PASS")


try:
    main()
finally:
    os.kill(int(os.environ["DBUS_SESSION_BUS_PID"]), signal.SIGTERM)
    shutil.rmtree(work, ignore_errors=True)
