#!/usr/bin/env bash
# Workload (a) of bench/compare.sh (new, train words, train pairs, score
# trial --words --phrases) on one ASAP set (default 3), once with the
# project's SQLite file and once with the project on a PostgreSQL server on
# this machine, reached over a Unix socket.  Prints the wall time of every
# command and the server's time as a multiple of the file's.
#
#   bench/server_bench.sh [SET]
#   TARNE_TEST_PG=CONNECTION  the server to use; without it a throwaway
#                             server is started (scripts/test_server.sh)
#   TARNE_CLI=path/to/tarne-cli   use this program instead of building one
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
if [ -z "${TARNE_TEST_PG:-}" ]; then
  exec "$root/scripts/test_server.sh" "$0" "$@"
fi
set_no=${1:-3}
bench=server_bench
build_type=Release
build_dir=build-release
# shellcheck source=bench/asap_project.sh
. "$root/bench/asap_project.sh"

now() { date +%s.%N; }
# Runs workload (a) on project $2 and prints "engine command seconds" lines;
# the total goes to $total.
workload() {
  local engine=$1 p=$2 start took
  total=0
  for cmd in "train words" "train pairs" "score trial --words --phrases"; do
    read -r -a words <<<"$cmd"
    start=$(now)
    "$cli" "${words[0]}" "$p" "${words[@]:1}" >/dev/null
    took=$(echo "$(now) - $start" | bc)
    total=$(echo "$total + $took" | bc)
    printf '%-7s %-32s %8.2f s\n' "$engine" "$cmd" "$took"
  done
  printf '%-7s %-32s %8.2f s\n' "$engine" "total" "$total"
}

workload sqlite "$project"
file_total=$total

# The same project on the server, beside the file one.
server_args=()
for a in "${args[@]}"; do
  [ "$a" = "$work/project" ] && a=$work/server
  server_args+=("$a")
done
"$cli" "${server_args[@]}" --server "$TARNE_TEST_PG" --yes --no-backup >/dev/null
workload server "$work/server/asap$set_no.trn"
printf 'server / sqlite: %.2f\n' "$(echo "$total / $file_total" | bc -l)"
