#!/usr/bin/env bash
# Runs every test case of one or more builds through CTest and ends with one line: "N passed, N failed".
# Usage: run-tests.sh JOBS BUILD_DIR [BUILD_DIR ...]
# In each build JOBS cases that compute run at a time, each holding one of JOBS `cores` (their
# RESOURCE_GROUPS). The cases that mostly wait in real time (label "waits": the real window's) hold one
# of three times JOBS `waits` slots instead and run beside them. The builds run at once, so the waits of
# one overlap the work of another.
set -uo pipefail
jobs=$1
shift

for build in "$@"; do
    cores="$(cd "$build" && pwd)/cores.json"
    cat >"$cores" <<EOF
{"version": {"major": 1, "minor": 0},
 "local": [{"cores": [{"id": "0", "slots": $jobs}], "waits": [{"id": "0", "slots": $((jobs * 3))}]}]}
EOF
    { ctest --test-dir "$build" -j $((jobs * 4)) --resource-spec-file "$cores" --output-on-failure --timeout 300 \
        >"$build/ctest.log" 2>&1; echo $? >"$build/ctest.status"; } &
done
wait

passed=0
failed=0
status=0
for build in "$@"; do
    log="$build/ctest.log"
    code=$(cat "$build/ctest.status")
    # The failing cases with their output, so CI shows why.
    if [[ $code -ne 0 ]]; then
        sed -n '/\*\*\*Failed\|\*\*\*Exception\|\*\*\*Timeout\|Not Run/,/^[[:space:]]*[0-9]*\/[0-9]* Test/p' "$log"
        sed -n '/The following tests FAILED/,$p' "$log"
        status=1
    fi
    total=$(sed -nE 's/.*tests failed out of ([0-9]+).*/\1/p' "$log" | tail -n 1)
    bad=$(sed -nE 's/.* ([0-9]+) tests failed out of.*/\1/p' "$log" | tail -n 1)
    if [[ -z "$total" ]]; then
        cat "$log"
        total=0
        bad=$([[ $code -ne 0 ]] && echo 1 || echo 0)
    fi
    passed=$((passed + total - bad))
    failed=$((failed + bad))
done
echo "$passed passed, $failed failed"
exit $status
