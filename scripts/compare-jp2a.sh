#!/usr/bin/env bash
# Times tessarin-cli against jp2a on the same 1024 x 1024 JPEG, in one run on one
# machine, and prints both medians and their ratio (below 1: tessarin-cli is faster).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TESSARIN_RELEASE_DIR:-$root/build-release}
runs=${1:-11}

source "$root/scripts/install-missing.sh"
install_missing jp2a
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target tessarin-cli bench >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
photo=$work/photo.jpg
"$build/bench" --write-jpeg "$photo"

# Wall time of one run in microseconds.
time_us() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
}

median_ms() { sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1000}'; }

ours=("$build/tessarin-cli" -g "$photo" -t "" -W 1024 -H 1024 -D '#' -S ' ')
theirs=(jp2a --size=1024x1024 "$photo")
"${ours[@]}" >/dev/null 2>&1
"${theirs[@]}" >/dev/null 2>&1
# The two alternate, so that a machine slowing down or speeding up during the
# measurement weighs on both alike.
our_times=() their_times=()
for _ in $(seq "$runs"); do
    our_times+=("$(time_us "${ours[@]}")")
    their_times+=("$(time_us "${theirs[@]}")")
done
a=$(printf '%s\n' "${our_times[@]}" | median_ms)
b=$(printf '%s\n' "${their_times[@]}" | median_ms)
echo "tessarin-cli: $a ms (median of $runs)"
echo "jp2a: $b ms (median of $runs)"
awk -v a="$a" -v b="$b" 'BEGIN {printf "ratio tessarin-cli / jp2a: %.2f\n", a / b}'
