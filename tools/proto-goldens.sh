#!/usr/bin/env bash
# Rebuilds the golden encodings of the analytics message tests from their text form with protoc, the
# reference encoder. Run it after changing a .txt file under tests/analytics/messages/data/.
# Usage: tools/proto-goldens.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
proto_dir=$root/analytics/messages/proto
data=$root/tests/analytics/messages/data

# golden file -> message type
declare -A types=(
  [bundle]=MeasurementBundle [event]=Event [user_attribute]=UserAttribute
  [audience_result]=AudienceLeafFilterResult [flag]=Flag [batch]=MeasurementBatch
)
for name in "${!types[@]}"; do
    protoc -I "$proto_dir" --encode="apmpb.${types[$name]}" apm.proto <"$data/$name.txt" >"$data/$name.bin"
    echo "$name.bin: $(stat -c %s "$data/$name.bin") bytes"
done
