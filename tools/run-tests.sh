#!/usr/bin/env bash
# Runs every test case of a build through CTest and ends with one line: "N passed, N failed".
set -uo pipefail
build=$1
jobs=${2:-$(nproc)}
log="$build/ctest.log"

ctest --test-dir "$build" -j "$jobs" --output-on-failure --timeout 300 >"$log" 2>&1
status=$?
grep -E '^\s*[0-9]+/[0-9]+ Test +#' "$log" | grep -v ' Passed ' || true
sed -n '/The following tests FAILED/,$p' "$log"
# A failing case's own output, so CI shows why.
grep -q 'tests failed out of' "$log" || cat "$log"

total=$(sed -nE 's/.*tests failed out of ([0-9]+).*/\1/p' "$log" | tail -n 1)
failed=$(sed -nE 's/.* ([0-9]+) tests failed out of.*/\1/p' "$log" | tail -n 1)
total=${total:-0}
failed=${failed:-0}
[[ $status -ne 0 && $failed -eq 0 ]] && failed=1
echo "$((total - failed)) passed, $failed failed"
exit $status
