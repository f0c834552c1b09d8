#!/usr/bin/env bash
# Fuzzes the analytics message decoders for a bounded time (default 30 s) with libFuzzer, ASan and UBSan.
# Needs clang++; without it the run is skipped. Usage: tools/fuzz-messages.sh [SECONDS]
set -euo pipefail
seconds=${1:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
if ! command -v clang++ >/dev/null || ! command -v clang >/dev/null; then
    echo "fuzz: clang++ not found, message decoders not fuzzed"
    exit 0
fi
build=$root/build/fuzz
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
if [[ ! -f $build/build.ninja ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
        -DCMAKE_CXX_COMPILER=clang++ -DQUORVEL_SANITIZE=ON -DQUORVEL_FUZZ=ON "${launcher[@]}" >/dev/null
fi
cmake --build "$build" --target nano_decode_fuzz >/dev/null

# Seeds: the golden encodings, each behind the byte that selects its message type.
corpus=$build/nano_decode_corpus
mkdir -p "$corpus"
declare -A type_byte=([batch]=0 [bundle]=1 [event]=2 [user_attribute]=4 [audience_result]=5 [flag]=32)
for name in "${!type_byte[@]}"; do
    { printf "\\x$(printf %02x "${type_byte[$name]}")"; cat "$root/tests/analytics/messages/data/$name.bin"; } \
        >"$corpus/seed_$name"
done

ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$build/fuzz/nano_decode_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/" "$corpus" 2>"$build/nano_decode_fuzz.log" || {
    tail -n 60 "$build/nano_decode_fuzz.log"
    echo "fuzz: message decoders FAILED; the input is in $build/crash-* (log: $build/nano_decode_fuzz.log)"
    exit 1
}
runs=$(sed -nE 's/^Done ([0-9]+) runs.*/\1/p' "$build/nano_decode_fuzz.log")
echo "fuzz: message decoders, ${seconds} s, ${runs:-?} runs, no crash or leak"
