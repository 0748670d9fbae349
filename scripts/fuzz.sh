#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each in turn for a bounded time:
# the first argument, in seconds (60 when not given). Seeds come from fuzz/corpus/ and
# fuzz/regressions/; what the fuzzer learns and finds stays in build-fuzz/. Exits non-zero when
# any target found a crash or a broken property. Only what is missing is installed.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TESSARIN_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-60}
targets=(ini picture tile)

packages=(build-essential cmake qt6-base-dev libjpeg62-turbo-dev clang libclang-rt-14-dev)

source "$root/scripts/install-missing.sh"

install_missing "${packages[@]}"
cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTESSARIN_FUZZ=ON -DBUILD_TESTING=OFF
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

export QT_QPA_PLATFORM=offscreen
# The INI harness replaces its file on every write; memory is faster than a disk for that.
[ -z "${TMPDIR:-}" ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm

found=0
for name in "${targets[@]}"; do
    corpus=$build/corpus/$name
    artifacts=$build/artifacts/$name
    log=$build/fuzz_$name.log
    mkdir -p "$corpus" "$artifacts"
    start=$SECONDS
    # New inputs go to the first folder; the repository's folders are only read.
    if "$build/fuzz_$name" -max_total_time="$seconds" -timeout=30 -artifact_prefix="$artifacts/" \
        "$corpus" "$root/fuzz/corpus/$name" "$root/fuzz/regressions/$name" >"$log" 2>&1; then
        result="nothing found"
    else
        result="FOUND a fault: $log, input in $artifacts/"
        found=1
    fi
    runs=$(grep -o 'Done [0-9]* runs' "$log" | grep -o '[0-9]*' || echo "?")
    echo "fuzz_$name: $((SECONDS - start)) s, $runs runs, $result"
done
exit "$found"
