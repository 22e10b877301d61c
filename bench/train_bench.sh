#!/usr/bin/env bash
# Training speed on one ASAP essay set (default 3): lays the set out with
# ../shared/tools/asap-folders, creates a project, trains words, word pairs
# and arguments with tarne-cli, and prints for each kind the wall time, the
# essays trained per second and the milliseconds per essay.  Skips cleanly
# when the shared data are missing.
#
#   bench/train_bench.sh [SET]
#   TARNE_CLI=path/to/tarne-cli   use this program instead of building one
#   TARNE_BUILD_DIR=DIR           where to build it (default build-release)
#   TARNE_KEEP=1                  keep the work folder (its path is printed)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
set_no=${1:-3}
bench=train_bench
build_type=Release
build_dir=build-release
# shellcheck source=bench/asap_project.sh
. "$here/asap_project.sh"
essays=$(find "$work/essays/train" -type f | wc -l)

now() { date +%s.%N; }

echo "ASAP set $set_no: $(tail -n 1 "$work/layout.txt")"
printf '%-10s %9s %10s %10s\n' kind seconds essays/s ms/essay
for kind in words pairs arguments; do
  label=$kind
  [ "$kind" = pairs ] && label=phrases
  start=$(now)
  "$cli" train "$project" "$kind" >"$work/$kind.out" 2>"$work/$kind.err"
  end=$(now)
  seconds=$(echo "$end - $start" | bc -l)
  # The essays the run reports as completed, summed over the groups.
  trained=$(tr -d '\r' <"$work/$kind.out" |
            sed -n "s/^Training group *[0-9]* $label *\([0-9]*\) files completed$/\1/p" |
            paste -sd+ | bc)
  if [ "${trained:-0}" -ne "$essays" ]; then
    echo "train_bench: $kind trained ${trained:-no} essays of $essays" >&2
  fi
  printf '%-10s %9.1f %10.1f %10.2f\n' "$kind" "$seconds" \
    "$(echo "$essays / $seconds" | bc -l)" "$(echo "1000 * $seconds / $essays" | bc -l)"
done
