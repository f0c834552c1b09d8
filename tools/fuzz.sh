#!/usr/bin/env bash
# Fuzzes the readers of untrusted bytes — the analytics message decoders, the property-list reader, the
# ISO 8601 date reader, the date formatter's parser, the sound files' tag reader, the whole load of a song
# (sniffing, tags, decoding), the colour archive reader, the sync's change files and their import, a
# damaged session store, a damaged measurement database, the remote configuration's settings and the
# notification centre's pending requests — each
# for a bounded time (default 20 s) with libFuzzer, ASan and UBSan, starting from a small corpus of
# valid inputs, JOBS targets at a time.
# BUILD is a clang build configured with -DQUORVEL_FUZZ=ON (`make test-sanitize` makes build/sanitize).
# Usage: tools/fuzz.sh [SECONDS] [BUILD] [JOBS]
set -euo pipefail
seconds=${1:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${2:-$root/build/sanitize}" && pwd)
jobs=${3:-$(nproc)}
if ! grep -q '^QUORVEL_FUZZ:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
    echo "fuzz: $build is not configured with -DQUORVEL_FUZZ=ON (run make test-sanitize)"
    exit 1
fi
targets=(nano_decode_fuzz property_list_fuzz iso8601_date_fuzz date_formatter_fuzz audio_file_tags_fuzz
         color_archive_fuzz change_file_fuzz change_import_fuzz session_store_fuzz measurement_database_fuzz
         remote_config_parse_fuzz pending_notifications_fuzz sound_file_load_fuzz)
work=$build/fuzzing
mkdir -p "$work"
cmake --build "$build" --target "${targets[@]}" >"$work/build.log" || {
    tail -n 40 "$work/build.log"
    echo "fuzz: the fuzz targets do not build"
    exit 1
}

# Seeds of the message decoders: the golden encodings, each behind the byte that selects its type.
nano_seeds=$work/nano_decode_seeds
mkdir -p "$nano_seeds"
declare -A type_byte=([batch]=0 [bundle]=1 [event]=2 [user_attribute]=4 [audience_result]=5 [flag]=32)
for name in "${!type_byte[@]}"; do
    { printf "\\x$(printf %02x "${type_byte[$name]}")"; cat "$root/tests/analytics/messages/data/$name.bin"; } \
        >"$nano_seeds/seed_$name"
done
# A load that takes more than a few seconds is a finding, as a crash is: the song load gets less time than
# the readers whose inputs may be large.
declare -A timeouts=([sound_file_load_fuzz]=5)
declare -A seeds=([nano_decode_fuzz]=$nano_seeds [change_import_fuzz]=$root/fuzz/corpus/change_file)
for target in "${targets[@]}"; do
    [[ -v seeds[$target] ]] || seeds[$target]=$root/fuzz/corpus/${target%_fuzz}
done

# One target's run; what the fuzzer finds grows in a corpus of its own, the checked-in seeds stay as they are.
fuzz_one() {
    local target=$1 corpus=$work/${1%_fuzz}_corpus log=$work/$1.log
    mkdir -p "$corpus"
    if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        "$build/fuzz/$target" -max_total_time="$seconds" -timeout="${timeouts[$target]:-10}" -rss_limit_mb=2048 \
        -artifact_prefix="$work/$target-" "$corpus" "${seeds[$target]}" 2>"$log"; then
        tail -n 60 "$log"
        echo "fuzz: $target FAILED; the input is in $work/$target-crash-* or -timeout-* (log: $log)"
        return 1
    fi
    local runs
    runs=$(sed -nE 's/^Done ([0-9]+) runs.*/\1/p' "$log")
    echo "fuzz: $target, ${seconds} s, ${runs:-?} runs, no crash, hang or leak"
}

failed=0
running=0
for target in "${targets[@]}"; do
    if (( running >= jobs )); then
        wait -n || failed=1
        running=$((running - 1))
    fi
    fuzz_one "$target" &
    running=$((running + 1))
done
while (( running > 0 )); do
    wait -n || failed=1
    running=$((running - 1))
done
exit $failed
