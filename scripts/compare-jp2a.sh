#!/usr/bin/env bash
# Times tessarin-cli --fit against jp2a --size (processor time) on the same photograph-like JPEG,
# in one run on one machine, alternating the two programs run by run, at 120 columns and at the
# picture's own 1024 x 768; prints both medians and their ratio (below 1: tessarin-cli is
# faster), then the two outputs at 60 columns side by side.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TESSARIN_RELEASE_DIR:-$root/build-release}
runs=${1:-11}

source "$root/scripts/install-missing.sh"
install_missing jp2a imagemagick
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target tessarin-cli >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
photo=$work/photo.jpg
# A landscape: sky, sun, hills and a tree over a plasma texture, blurred and grainy as a photograph.
convert -size 1024x768 gradient:'#9cc8f0'-'#f4e0b0' \
    \( -size 1024x768 -seed 3 plasma:grey60-grey90 -colorspace gray \) -compose softlight -composite \
    -fill '#fff6c8' -draw 'circle 700,230 700,330' \
    -fill '#3c5a2a' -draw 'polygon 0,520 160,380 330,470 520,330 760,500 1024,400 1024,768 0,768' \
    -fill '#1e2e18' -draw 'polygon 0,640 250,560 470,640 700,580 1024,660 1024,768 0,768' \
    -fill '#2a2018' -draw 'rectangle 180,420 196,600' -fill '#24401c' -draw 'circle 188,400 188,340' \
    -blur 0x3 -attenuate 0.4 +noise Gaussian -quality 90 "$photo"

# Processor time (user and system) of one run in microseconds: unlike the wall time, it does not
# grow when other programs share the machine. The shell counts it in milliseconds, so it is taken
# over ten runs in a row.
time_us() {
    (
        for _ in 1 2 3 4 5 6 7 8 9 10; do "$@" >/dev/null 2>&1; done
        # The second line of times: the children's user and system time, as 0m0.036s 0m0.008s.
        # Not through a pipe: times would run in a new subshell, which has no children.
        times >"$work/times"
        sed -n 2p "$work/times" | awk '{
            split($1, u, /[ms]/); split($2, s, /[ms]/)
            printf "%d\n", ((u[1] + s[1]) * 60 + u[2] + s[2]) * 100000 }'
    )
}

median_ms() { sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1000}'; }

# One column per pixel with ASCII strings, so --fit gives the height that jp2a is asked for.
ours() { "$build/tessarin-cli" -t '' -g "$photo" --fit -W "$1" -m 2 -D '#' -S ' '; }
# jp2a takes a dark terminal by default; on a light one, as here, dark pixels get the dense characters.
theirs() { jp2a --background=light --size="$1x$2" "$photo"; }

compare() {
    local width=$1 height=$2 our_times=() their_times=() a b
    ours "$width" >/dev/null
    theirs "$width" "$height" >/dev/null
    # The two alternate, so that a machine slowing down or speeding up during the
    # measurement weighs on both alike.
    for _ in $(seq "$runs"); do
        our_times+=("$(time_us ours "$width")")
        their_times+=("$(time_us theirs "$width" "$height")")
    done
    a=$(printf '%s\n' "${our_times[@]}" | median_ms)
    b=$(printf '%s\n' "${their_times[@]}" | median_ms)
    echo "$width x $height: tessarin-cli $a ms, jp2a $b ms (medians of $runs);" \
        "ratio $(awk -v a="$a" -v b="$b" 'BEGIN {printf "%.2f", a / b}')"
}

compare 120 45
compare 1024 384
echo
# The first line of ours is the empty line every collage begins with.
paste -d '|' <(ours 60 | tail -n +2 | tr -d '\r') <(theirs 60 23)
