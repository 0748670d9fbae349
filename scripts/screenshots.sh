#!/bin/sh
# Makes the README's pictures from the built program, on a virtual X server of its own and with
# no window manager, so each is the window's inside only: docs/screenshot.png at start-up with no
# settings file, docs/collage.png the output tab after "生成" in a larger window.
#   sh scripts/screenshots.sh [PROGRAM]      (PROGRAM: build/tessarin unless given)
# Needs Xvfb, xdotool and ImageMagick's import.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$top/build/tessarin}")
if [ -z "${TESSARIN_SCREENSHOTS_DISPLAY:-}" ]; then
    TESSARIN_SCREENSHOTS_DISPLAY=1 exec sh "$top/scripts/with-xvfb.sh" sh "$0" "$program"
fi

work=$(mktemp -d)
pid=
trap 'if [ -n "$pid" ]; then kill $pid; wait $pid || true; fi; rm -rf "$work"' EXIT
cp "$program" "$work/tessarin"

# Starts the program with the settings file $1 beside it (none when empty) and takes its window
# into $2 once it has drawn itself; the settings file is in the code page, as the program writes it.
shoot() {
    rm -f "$work/Tessarin.Ini"
    [ -z "$1" ] || printf '%b' "$1" | iconv -f UTF-8 -t GBK >"$work/Tessarin.Ini"
    XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 "$work/tessarin" &
    pid=$!
    window=$(xdotool search --sync --onlyvisible --pid $pid --class tessarin | head -n 1)
    sleep 1
    # "生成" stands at the same place in every window size: 1500, 2190 twips, 20 x 40 pixels.
    [ -z "$1" ] || { xdotool mousemove --window "$window" 110 166 click 1 && sleep 1; }
    import -window "$window" "$2"
    kill $pid
    wait $pid || true
    pid=
}

shoot "" "$top/docs/screenshot.png"
shoot '[窗体]\r\nLeft=0\r\nTop=0\r\nWidth=11400\r\nHeight=7800\r\nWindowState=0\r\n[属性]\r\n图片宽=40\r\n图片高=28\r\n字号=21\r\n' \
    "$top/docs/collage.png"
echo "made docs/screenshot.png and docs/collage.png"
