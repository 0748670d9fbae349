#!/usr/bin/env bash
# Sets up a Debian 12 machine for Tessarin, builds it, then starts the window
# ("start") or runs every test ("test"). Only what is missing is installed.
set -euo pipefail

# Started with an empty environment (env -i), bash keeps a PATH of its own but
# exports none, and the compiler and dpkg need one.
printenv PATH >/dev/null || export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TESSARIN_BUILD_DIR:-$root/build}

# Installed without their recommendations, which would bring systemd, GTK and
# Vulkan drivers along; whatever the build, the window or the tests need is named.
packages=(
    # the build: compiler, CMake, Qt's and libjpeg's headers, the X library the program test calls
    build-essential cmake qt6-base-dev libjpeg62-turbo-dev libxcb1-dev
    # the formatting check of the test command
    clang-format
    # the window: Qt's Wayland platform plugin (xcb comes with Qt), Qt's own Chinese texts
    qt6-wayland qt6-translations-l10n
    # fonts: a Song face for crisp small characters, and a full CJK set
    fonts-arphic-uming fonts-noto-cjk
    # a probe for an X display that answers
    x11-utils
    # the real-window tests: a virtual X server, a window manager, real key presses
    xvfb xauth openbox xdotool
    # the screen-reader test: the accessibility bus, its Python bindings, a D-Bus session to run on
    at-spi2-core python3-pyatspi dbus-x11
)

source "$root/scripts/install-missing.sh"

configure() {
    cmake -S "$root" -B "$1" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${@:2}"
}

# A Wayland display counts only when the compositor's socket is there: a
# WAYLAND_DISPLAY inherited by a terminal can outlive its session.
have_wayland() {
    local socket=${WAYLAND_DISPLAY:-}
    [ -n "$socket" ] || return 1
    [[ $socket == /* ]] || socket=${XDG_RUNTIME_DIR:-/nonexistent}/$socket
    [ -S "$socket" ]
}

have_x() {
    [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1
}

# Configures, builds and runs one suite; its ctest log is kept for the summary.
run_suite() {
    local dir=$1
    configure "$dir" "${@:2}" || return 1
    cmake --build "$dir" -j"$(nproc)" || return 1
    (cd "$dir" && ctest --output-on-failure --output-log ctest.log)
}

# ctest's totals line and the failed tests, for the summary at the end.
suite_totals() {
    [ -f "$1/ctest.log" ] || { echo "    the build failed (see above)"; return; }
    awk '/tests passed, / { print "    " $0 }
         /^The following tests FAILED:/ { failed = 1; next }
         failed && sub(/^[ \t]+/, "") && /^[0-9]+ - / { print "      " $0 }' "$1/ctest.log"
}

case "${1:-}" in
start)
    install_missing "${packages[@]}"
    configure "$build"
    cmake --build "$build" -j"$(nproc)" --target tessarin tessarin-cli
    if have_wayland; then
        # Native on Wayland when Qt's plugin reaches the compositor, else X11 through XWayland.
        QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-wayland;xcb} exec "$build/tessarin"
    elif have_x; then
        exec "$build/tessarin"
    fi
    cat <<MSG
Tessarin is built, but no display answers here (no X server at DISPLAY, no
Wayland socket for WAYLAND_DISPLAY). The default collage, made by $build/tessarin-cli:
MSG
    "$build/tessarin-cli"
    printf '\n\nTo see the window, run this command again on a desktop (X11 or Wayland); to make a collage here: %s -t TEXT (--help lists the options).\n' \
        "$build/tessarin-cli"
    ;;
test)
    install_missing "${packages[@]}"
    # Both suites run whatever the other gives; the second is built with the
    # address and undefined-behaviour sanitizers, so memory errors fail the run
    # instead of lying in wait.
    rm -f "$build/ctest.log" "$build-sanitize/ctest.log"
    failed=()
    # A source file that clang-format would change fails the run, as a failing test does.
    (cd "$root" && find app bench cli collage controls fuzz output runtime tests window \
        -name '*.cpp' -o -name '*.h' | sort | xargs clang-format --dry-run --Werror) ||
        failed+=("the formatting (clang-format -i on the files named above mends it)")
    run_suite "$build" || failed+=("the ordinary suite ($build)")
    run_suite "$build-sanitize" -DTESSARIN_SANITIZE=ON || failed+=("the sanitizer suite ($build-sanitize)")
    echo
    echo "The ordinary suite ($build):"
    suite_totals "$build"
    echo "The sanitizer suite ($build-sanitize):"
    suite_totals "$build-sanitize"
    if ((${#failed[@]})); then
        printf 'FAILED: %s\n' "${failed[@]}" >&2
        exit 1
    fi
    echo "Both suites passed."
    ;;
*)
    echo "usage: $0 start|test" >&2
    exit 2
    ;;
esac
