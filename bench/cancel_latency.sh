#!/usr/bin/env bash
# How long Ctrl-C takes to end a training run: `train pairs` on ASAP set SET
# (default 1) gets SIGINT at several moments of its run, and the time from
# the signal to the end of the process is printed, with what was kept.
#
#   bench/cancel_latency.sh [SET]
#   TARNE_CLI=path/to/tarne-cli   use this program instead of building one
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
set_no=${1:-1}
bench=cancel_latency
build_type=Release
build_dir=build-release
# shellcheck source=bench/asap_project.sh
. "$here/asap_project.sh"

"$cli" train "$project" words >/dev/null 2>&1
base=$work/base.db
cp "$work/project/asap$set_no.db" "$base"
worst=0
for delay in 0.1 0.2 0.3 0.4 0.5 0.6 0.7; do
  cp "$base" "$work/project/asap$set_no.db"
  rm -f "$work/project/asap$set_no.db-wal" "$work/project/asap$set_no.db-shm"
  "$cli" train "$project" pairs >"$work/out.txt" 2>&1 &
  pid=$!
  sleep "$delay"
  start=$(date +%s.%N)
  kill -INT "$pid" 2>/dev/null || true
  wait "$pid" || true
  end=$(date +%s.%N)
  took=$(echo "$end - $start" | bc -l)
  kept=$(sqlite3 "$work/project/asap$set_no.db" "SELECT count(*) FROM calib WHERE isinphrases=1")
  printf '  SIGINT after %.1f s: ended %.3f s later, %s essays kept\n' "$delay" "$took" "$kept"
  if [ "$(echo "$took > $worst" | bc -l)" = 1 ]; then worst=$took; fi
done
printf 'longest: %.3f s\n' "$worst"
