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
shared=${TARNE_SHARED:-$root/../shared}
set_no=${1:-3}
tool=$shared/tools/asap-folders

if [ ! -f "$tool" ] || [ ! -f "$shared/data/asap/essays.tsv" ]; then
  echo "train_bench: skipped, no ASAP data under $shared"
  exit 0
fi

cli=${TARNE_CLI:-}
if [ -z "$cli" ]; then
  build=${TARNE_BUILD_DIR:-$root/build-release}
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" --target tarne-cli -j2 >/dev/null
  cli=$build/cli/tarne-cli
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tarne-train-bench-XXXXXX")
if [ "${TARNE_KEEP:-0}" = 1 ]; then
  echo "train_bench: work folder $work"
else
  trap 'rm -rf "$work"' EXIT
fi
# The data-source list and the recent list stay inside the work folder.
export XDG_CONFIG_HOME=$work/config

python3 "$tool" "$set_no" "$work/essays" >"$work/layout.txt"
groups=$(sed -n 's/^groups=\([0-9]*\).*/\1/p' "$work/layout.txt")
essays=$(find "$work/essays/train" -type f | wc -l)

args=(new --name "asap$set_no" --root "$work/project" --groups "$groups")
for g in $(seq 1 "$groups"); do
  args+=(--train "$work/essays/train/g$g" --trial "$work/essays/trial/g$g")
done
"$cli" "${args[@]}" >/dev/null 2>&1
project=$work/project/asap$set_no.trn

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
