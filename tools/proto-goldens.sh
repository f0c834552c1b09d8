#!/usr/bin/env bash
# Rebuilds the golden encodings of the analytics tests from their text form with protoc, the reference
# encoder. Run it after changing a .txt file under tests/analytics/*/data/.
# Usage: tools/proto-goldens.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
proto_dir=$root/analytics/messages/proto
tests=$root/tests/analytics

# golden file (under tests/analytics) -> message type
declare -A types=(
  [messages/data/bundle]=MeasurementBundle [messages/data/event]=Event
  [messages/data/user_attribute]=UserAttribute [messages/data/audience_result]=AudienceLeafFilterResult
  [messages/data/flag]=Flag [messages/data/batch]=MeasurementBatch
  [records/data/event_record]=Event [records/data/user_attribute_record]=UserAttribute
)
for name in "${!types[@]}"; do
    protoc -I "$proto_dir" --encode="apmpb.${types[$name]}" apm.proto <"$tests/$name.txt" >"$tests/$name.bin"
    echo "$name.bin: $(stat -c %s "$tests/$name.bin") bytes"
done
