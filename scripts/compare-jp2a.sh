#!/usr/bin/env bash
# Times tessarin-cli against jp2a on the same 1024 x 1024 JPEG, in one run on one
# machine, and prints both medians and their ratio (below 1: tessarin-cli is faster).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TESSARIN_RELEASE_DIR:-$root/build-release}
runs=${1:-11}

if ! command -v jp2a >/dev/null; then
    sudo=(); [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get install -y jp2a
fi
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target tessarin-cli bench >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
photo=$work/photo.jpg
"$build/bench" --write-jpeg "$photo"

# Median wall time in milliseconds of a command, run $runs times after one warm-up.
median_ms() {
    "$@" >/dev/null 2>&1
    local times=() start end
    for _ in $(seq "$runs"); do
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1
        end=$(date +%s%N)
        times+=($(((end - start) / 1000)))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1000}'
}

ours=$(median_ms "$build/tessarin-cli" -g "$photo" -t "" -W 1024 -H 1024 -D '#' -S ' ')
theirs=$(median_ms jp2a --size=1024x1024 "$photo")
echo "tessarin-cli: $ours ms (median of $runs)"
echo "jp2a: $theirs ms (median of $runs)"
awk -v a="$ours" -v b="$theirs" 'BEGIN {printf "ratio tessarin-cli / jp2a: %.2f\n", a / b}'
