#!/usr/bin/env bash
# Builds the Debian package and runs the checks a distribution runs on it: lintian on the
# .deb, desktop-file-validate on the menu entry, appstreamcli on the AppStream metadata and
# groff on both manual pages. Installs the checkers when they are missing. Exits non-zero on
# the first check that fails.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TESSARIN_PACKAGE_DIR:-$root/build-package}

source "$root/scripts/install-missing.sh"
install_missing lintian desktop-file-utils appstream groff man-db
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target package >/dev/null

deb=$(ls "$build"/tessarin_*.deb)
echo "== lintian $(basename "$deb")"
# --fail-on warning: a warning fails the check as an error does.
lintian --fail-on error,warning --info "$deb"
echo "== desktop-file-validate"
desktop-file-validate "$root/resources/tessarin.desktop"
echo "== appstreamcli validate"
appstreamcli validate --no-net "$build"/*.metainfo.xml
for page in "$root"/docs/*.1; do
    echo "== groff $(basename "$page")"
    out=$(groff -ww -z -man -Tutf8 "$page" 2>&1)
    [ -z "$out" ] || { echo "$out"; exit 1; }
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 "$page" 2>&1 >/dev/null)
    [ -z "$out" ] || { echo "$out"; exit 1; }
done
echo "all package checks passed"
