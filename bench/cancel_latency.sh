#!/usr/bin/env bash
# How long Ctrl-C takes to end a training run: `train pairs` on ASAP set SET
# (default 1) gets SIGINT at several moments of its run, and the time from
# the signal to the end of the process is printed, with what was kept.
#
#   bench/cancel_latency.sh [SET]
#   bench/cancel_latency.sh long  sets 1 and 8 with each three sentences
#                                 joined into one (long_sentences.py), where
#                                 a single essay has thousands of arguments
#   TARNE_KIND=arguments          Ctrl-C into `train arguments` instead
#   TARNE_FULL=1                  train SET's essays into a project already
#                                 holding the other seven sets (a large table,
#                                 where every commit is expensive)
#   TARNE_CLI=path/to/tarne-cli   use this program instead of building one
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
set_no=${1:-1}
collection=$set_no
kind=${TARNE_KIND:-pairs}
[ "$collection" = long ] && set_no=1
bench=cancel_latency
build_type=Release
build_dir=build-release
# shellcheck source=bench/asap_project.sh
. "$here/asap_project.sh"

delays="0.1 0.2 0.3 0.4 0.5 0.6 0.7"
db=$work/project/asap$set_no.db
if [ "${TARNE_FULL:-0}" = 1 ]; then
  # The other sets first, words and pairs; then SET's own essays join the
  # same folders (the groups are each set's score quartiles).
  others=$(seq 1 8 | grep -vx "$set_no" | paste -sd,)
  python3 "$here/pooled_folders.py" "$shared/data/asap/essays.tsv" "$work/full" "$others" >/dev/null
  args=(new --name full --root "$work/full-project/" --groups 4)
  for g in 1 2 3 4; do args+=(--train "$work/full/train/g$g" --trial "$work/full/train/g$g"); done
  "$cli" "${args[@]}" >/dev/null 2>&1
  project=$work/full-project/full.trn
  for kind in words pairs; do "$cli" train "$project" "$kind" >/dev/null 2>&1; done
  python3 "$here/pooled_folders.py" "$shared/data/asap/essays.tsv" "$work/full" "$set_no" >/dev/null
  db=$work/full-project/full.db
  # Reading the large vocabulary takes the first half second or so.
  delays="0.5 0.6 0.7 0.8 0.9 1.0 1.1"
fi

if [ "$collection" = long ]; then
  python3 "$here/pooled_folders.py" "$shared/data/asap/essays.tsv" "$work/long" 1,8 >/dev/null
  python3 "$here/long_sentences.py" "$work/long"
  args=(new --name long --root "$work/long-project/" --groups 4)
  for g in 1 2 3 4; do args+=(--train "$work/long/train/g$g" --trial "$work/long/train/g$g"); done
  "$cli" "${args[@]}" >/dev/null 2>&1
  project=$work/long-project/long.trn
  db=$work/long-project/long.db
  delays="1 2 3 4 5 6 7"
fi
"$cli" train "$project" words >/dev/null 2>&1
flag=isinphrases
[ "$kind" = arguments ] && flag=isinargs
base=$work/base.db
cp "$db" "$base"
worst=0
for delay in $delays; do
  cp "$base" "$db"
  rm -f "$db-wal" "$db-shm"
  "$cli" train "$project" "$kind" >"$work/out.txt" 2>&1 &
  pid=$!
  sleep "$delay"
  start=$(date +%s.%N)
  kill -INT "$pid" 2>/dev/null || true
  wait "$pid" || true
  end=$(date +%s.%N)
  took=$(echo "$end - $start" | bc -l)
  kept=$(sqlite3 "$db" "SELECT count(*) FROM calib WHERE $flag=1")
  printf '  SIGINT after %.1f s: ended %.3f s later, %s essays kept\n' "$delay" "$took" "$kept"
  if [ "$(echo "$took > $worst" | bc -l)" = 1 ]; then worst=$took; fi
done
printf 'longest: %.3f s\n' "$worst"
