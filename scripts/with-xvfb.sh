#!/bin/sh
# Runs a command on a virtual X server of its own. The server picks a free display itself and
# says which once it takes connections, so runs that start at the same time never share one.
set -eu
dir=$(mktemp -d)
# Without -noreset the server restarts whenever its last client leaves (dbus-launch looks at the
# display and goes), and a program connecting just then is turned away.
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/log" &
server=$!
trap 'kill $server 2>/dev/null || true; wait $server 2>/dev/null || true; rm -rf "$dir"' EXIT
tries=0
until [ -s "$dir/display" ]; do
    tries=$((tries + 1))
    if [ $tries -gt 200 ] || ! kill -0 $server 2>/dev/null; then
        echo "with-xvfb: the X server did not start:" >&2
        cat "$dir/log" >&2
        exit 1
    fi
    sleep 0.05
done
DISPLAY=:$(cat "$dir/display")
export DISPLAY
unset XAUTHORITY WAYLAND_DISPLAY
"$@"
