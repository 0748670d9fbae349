#!/usr/bin/env bash
# Sets up a Debian 12 machine for Tessarin, builds it, then starts the window
# ("start") or runs every test ("test"). Only what is missing is installed.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TESSARIN_BUILD_DIR:-$root/build}

packages=(
    build-essential cmake
    qt6-base-dev
    fonts-arphic-uming fonts-noto-cjk # a Song face for crisp small characters, and a full CJK set
    xvfb xauth x11-utils libxcb1-dev  # a real X server for the window tests, a display probe, X calls
)

source "$root/scripts/install-missing.sh"

build() {
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$build" -j"$(nproc)"
}

have_display() {
    [ -n "${WAYLAND_DISPLAY:-}" ] && return 0
    [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1
}

case "${1:-}" in
start)
    install_missing "${packages[@]}"
    build
    if ! have_display; then
        # Without a window, the command-line companion shows the default collage.
        cat <<MSG
Tessarin is built, but this machine has no display to show its window on
(neither DISPLAY nor WAYLAND_DISPLAY names one that answers).
The default collage, made by $build/tessarin-cli:
MSG
        "$build/tessarin-cli"
        printf '\n\nTo start the window on a virtual X server: xvfb-run -a %s\n' "$build/tessarin"
        exit 0
    fi
    exec "$build/tessarin"
    ;;
test)
    install_missing "${packages[@]}"
    build
    (cd "$build" && ctest --output-on-failure)
    # The whole suite once more, built with the address and undefined-behaviour
    # sanitizers, so memory errors fail the run instead of lying in wait.
    cmake -S "$root" -B "$build-sanitize" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARIN_SANITIZE=ON
    cmake --build "$build-sanitize" -j"$(nproc)"
    cd "$build-sanitize"
    ctest --output-on-failure
    ;;
*)
    echo "usage: $0 start|test" >&2
    exit 2
    ;;
esac
