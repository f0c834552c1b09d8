#!/usr/bin/env bash
# Runs one stage of a build or test run and says when it started and how long it took, so a slow
# stage shows in a CI log. Usage: tools/stage.sh NAME COMMAND [ARG ...]
set -uo pipefail
name=$1
shift
start=$(date +%s)
echo "== $name: started $(date -u +%H:%M:%S)"
"$@"
status=$?
echo "== $name: $(( $(date +%s) - start )) s$([[ $status -eq 0 ]] || echo ", FAILED ($status)")"
exit $status
