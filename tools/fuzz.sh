#!/usr/bin/env bash
# Fuzzes the readers of untrusted bytes — the analytics message decoders, the property-list reader, the
# ISO 8601 date reader, the date formatter's parser, the sound files' tag reader, the whole load of a
# song (sniffing, tags, decoding), the colour archive reader, the sync's change files and their import,
# a damaged session store, a damaged measurement database and the remote configuration's settings — each for a bounded time (default 20 s) with
# libFuzzer, ASan and UBSan, starting from a small corpus of valid inputs.
# Needs clang++; without it the run is skipped. Usage: tools/fuzz.sh [SECONDS]
set -euo pipefail
seconds=${1:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
if ! command -v clang++ >/dev/null || ! command -v clang >/dev/null; then
    echo "fuzz: clang++ not found, readers not fuzzed"
    exit 0
fi
build=$root/build/fuzz
targets=(nano_decode_fuzz property_list_fuzz iso8601_date_fuzz date_formatter_fuzz audio_file_tags_fuzz
         sound_file_load_fuzz color_archive_fuzz change_file_fuzz change_import_fuzz session_store_fuzz measurement_database_fuzz
         remote_config_parse_fuzz)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
if [[ ! -f $build/build.ninja ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
        -DCMAKE_CXX_COMPILER=clang++ -DQUORVEL_SANITIZE=ON -DQUORVEL_FUZZ=ON "${launcher[@]}" >/dev/null
fi
cmake --build "$build" --target "${targets[@]}" >"$build/build.log" || {
    tail -n 40 "$build/build.log"
    echo "fuzz: the fuzz targets do not build"
    exit 1
}

# Seeds of the message decoders: the golden encodings, each behind the byte that selects its type.
nano_seeds=$build/nano_decode_seeds
mkdir -p "$nano_seeds"
declare -A type_byte=([batch]=0 [bundle]=1 [event]=2 [user_attribute]=4 [audience_result]=5 [flag]=32)
for name in "${!type_byte[@]}"; do
    { printf "\\x$(printf %02x "${type_byte[$name]}")"; cat "$root/tests/analytics/messages/data/$name.bin"; } \
        >"$nano_seeds/seed_$name"
done
declare -A seeds=([nano_decode_fuzz]=$nano_seeds [change_import_fuzz]=$root/fuzz/corpus/change_file)
for target in "${targets[@]}"; do
    [[ -v seeds[$target] ]] || seeds[$target]=$root/fuzz/corpus/${target%_fuzz}
done

for target in "${targets[@]}"; do
    # What the fuzzer finds grows in a corpus of its own; the checked-in seeds stay as they are.
    corpus=$build/${target%_fuzz}_corpus
    mkdir -p "$corpus"
    log=$build/$target.log
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$build/$target-" "$corpus" "${seeds[$target]}" 2>"$log" || {
        tail -n 60 "$log"
        echo "fuzz: $target FAILED; the input is in $build/$target-crash-* (log: $log)"
        exit 1
    }
    runs=$(sed -nE 's/^Done ([0-9]+) runs.*/\1/p' "$log")
    echo "fuzz: $target, ${seconds} s, ${runs:-?} runs, no crash or leak"
done
