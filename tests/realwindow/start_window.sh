#!/usr/bin/env bash
# Starts the built program on the X server of $DISPLAY and waits until its window
# appears, as a user starting it would see it. Usage: start_window.sh PROGRAM
set -u
program=$1
title='墨砾版字符拼合画'
workdir=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rm -rf "$workdir"' EXIT

QT_QPA_PLATFORM=xcb "$program" >"$workdir/out" 2>&1 &
pid=$!
for _ in $(seq 1 100); do
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "the program ended before showing its window:"; cat "$workdir/out"; exit 1
    fi
    if xwininfo -root -tree 2>/dev/null | grep -q "\"$title\""; then
        echo "window shown: $(xwininfo -root -tree | grep "\"$title\"" | head -n 1 | sed 's/^ *//')"
        exit 0
    fi
    sleep 0.2
done
echo "no window titled $title within 20 seconds"; cat "$workdir/out"; exit 1
