#!/usr/bin/env bash
# Kill test: `train` and `remove` are killed with SIGKILL at random moments,
# then run again; every trial must end with exactly the tables of one
# uninterrupted run.  `new` over the trained project is killed the same way;
# it must leave the trained tables or the new project's empty ones, never a
# database without them.  Uses ASAP essay set SET (default 8) from ../shared and
# skips cleanly when the data are missing.
#
#   tests/kill_test.sh [TRIALS] [SET]     # default 20 trials of each command
#   TARNE_CLI=path/to/tarne-cli   use this program instead of building one
#   TARNE_BUILD_DIR=DIR           where to build it (default build-release)
#   TARNE_KEEP=1                  keep the work folder (its path is printed)
#   TARNE_KILL_PG=CONNECTION      keep the project on this PostgreSQL server
#                                 (psql, pg_dump and pg_restore are needed)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
trials=${1:-20}
set_no=${2:-8}
bench=kill_test
build_type=Release
build_dir=build-release
# shellcheck source=bench/asap_project.sh
. "$root/bench/asap_project.sh"

db=$work/project/asap$set_no.db
log=$work/project/asap$set_no.log
server=${TARNE_KILL_PG:-}
command -v sqlite3 >/dev/null || { echo "kill_test: sqlite3 is needed" >&2; exit 1; }
if [ -n "$server" ]; then
  # The same project, its tables in the schema asapSET of the server.
  "$cli" "${args[@]}" --server "$server" --yes --no-backup >/dev/null
fi
# Runs SQL on the project's database and prints the rows, columns split by "|".
query() {
  if [ -n "$server" ]; then
    psql "$server" -XAtq -v ON_ERROR_STOP=1 \
      <<<"SET client_min_messages TO warning; SET search_path TO \"asap$set_no\"; $1"
  else
    sqlite3 "$db" "$1"
  fi
}
# The counts, flags and records, without the work column that only tells
# which essay came last.
dump() {
  local columns="Vocab, isword, isphrase, isarg, isstop, v1, v2, v3, v4, v5, w1, w2, w3, w4, w5"
  query "SELECT 'run1', $columns FROM run1 ORDER BY Vocab, isword, isphrase, isarg;
                 SELECT 'stem', $columns FROM stem ORDER BY Vocab, isword, isphrase, isarg;
                 SELECT 'calib', filen, gr, isinwords, isinphrases, isinargs FROM calib ORDER BY filen, gr;
                 SELECT 'trainsize', g1, g2, g3, g4, g5 FROM trainsize;"
}
# Keeps the database as it is now under the name $1.
save() {
  if [ -n "$server" ]; then
    pg_dump "$server" -n "asap$set_no" -Fc -f "$work/$1.pgdump"
  else
    cp "$db" "$work/$1.db"
  fi
}
# Puts a saved database in place, with no journal of an earlier run beside it.
restore() {
  if [ -n "$server" ]; then
    query "DROP SCHEMA \"asap$set_no\" CASCADE" >/dev/null
    pg_restore -d "$server" "$work/$1.pgdump"
    return
  fi
  rm -f "$db" "$db-wal" "$db-shm" "$db-journal"
  cp "$work/$1.db" "$db"
}
now() { date +%s.%N; }
# Runs the command in the background, kills it after a random part of
# $span seconds, waits for it and answers nothing.
kill_at_random() {
  local delay
  delay=$(awk -v s="$span" -v r="$RANDOM" 'BEGIN { printf "%.3f", s * r / 32768 }')
  "$@" >/dev/null 2>&1 &
  local pid=$!
  sleep "$delay"
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true

}

save empty
dump >"$work/empty.txt"
# A third of group 1's training essays are removed again.
mapfile -t removed < <(find "$work/essays/train/g1" -type f | sort | awk 'NR % 3 == 1')
train=("$cli" train "$project" words)
remove=("$cli" remove "$project" --group 1 "${removed[@]}")
renew=("$cli" "${args[@]}" --yes --no-backup)
[ -z "$server" ] || renew+=(--server "$server")

start=$(now)
"${train[@]}" >/dev/null 2>&1
train_span=$(echo "$(now) - $start" | bc -l)
dump >"$work/trained.txt"
save trained
start=$(now)
"${remove[@]}" >/dev/null 2>&1 || true
remove_span=$(echo "$(now) - $start" | bc -l)
dump >"$work/removed.txt"
rm -f "$log"
restore trained
start=$(now)
"${renew[@]}" >/dev/null 2>&1
renew_span=$(echo "$(now) - $start" | bc -l)

echo "ASAP set $set_no: $(tail -n 1 "$work/layout.txt"); ${#removed[@]} essays removed"
printf 'uninterrupted: train %.1f s, remove %.1f s, new %.2f s\n' "$train_span" "$remove_span" \
  "$renew_span"

failures=0
for what in train remove new; do
  same=0
  killed=0
  for i in $(seq 1 "$trials"); do
    if [ "$what" = train ]; then
      restore empty
      span=$train_span
      kill_at_random "${train[@]}" >/dev/null
      done_before=$(query "SELECT count(*) FROM calib")
      [ "$done_before" -lt "$(grep -c '^calib' "$work/trained.txt")" ] && killed=$((killed + 1))
      "${train[@]}" >/dev/null 2>&1
      expected=$work/trained.txt
    elif [ "$what" = new ]; then
      # Either the trained project is still there or the new one is whole.
      restore trained
      span=$renew_span
      kill_at_random "${renew[@]}" >/dev/null
      dump >"$work/renewed.txt" 2>&1 || true
      cmp -s "$work/renewed.txt" "$work/empty.txt" && killed=$((killed + 1))
      expected=$work/trained.txt
      cmp -s "$work/renewed.txt" "$work/empty.txt" && expected=$work/empty.txt
    else
      restore trained
      span=$remove_span
      kill_at_random "${remove[@]}" >/dev/null
      left=$(query "SELECT count(*) FROM calib WHERE gr=1 AND isinwords=1")
      [ "$left" -gt "$(grep -c '^calib|[^|]*|1|1|' "$work/removed.txt")" ] && killed=$((killed + 1))
      # Essays removed before the kill are no longer trained; the second run
      # may say so and exit 1.
      "${remove[@]}" >/dev/null 2>&1 || true
      expected=$work/removed.txt
    fi
    if dump 2>/dev/null | cmp -s - "$expected"; then
      same=$((same + 1))
    else
      failures=$((failures + 1))
      dump >"$work/$what-trial$i.txt" 2>&1 || true
      echo "kill_test: $what trial $i differs from one run (see $work/$what-trial$i.txt)" >&2
    fi
  done
  if [ "$what" = new ]; then
    echo "new: $same of $trials trials end with the old or the new project whole (the new one in $killed)"
  else
    echo "$what: $same of $trials trials end identical to one run ($killed killed mid-run)"
  fi
done
[ "$failures" -eq 0 ]
