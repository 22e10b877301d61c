#!/usr/bin/env bash
# Scoring speed and accuracy on one ASAP essay set (default 3): lays the set
# out with ../shared/tools/asap-folders, creates a project, trains words and
# word pairs, then scores the trial essays with the multinomial and the
# Bernoulli model, with words and with words and word pairs (unstemmed, every
# token class included), and prints essays per second and the accuracy of
# each run.  Skips cleanly when the shared data are missing.
#
#   bench/score_bench.sh [SET]
#   TARNE_CLI=path/to/tarne-cli   use this program instead of building one
#   TARNE_KEEP=1                  keep the work folder (its path is printed)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
shared=${TARNE_SHARED:-$root/../shared}
set_no=${1:-3}
tool=$shared/tools/asap-folders

if [ ! -f "$tool" ] || [ ! -f "$shared/data/asap/essays.tsv" ]; then
  echo "score_bench: skipped, no ASAP data under $shared"
  exit 0
fi

cli=${TARNE_CLI:-}
if [ -z "$cli" ]; then
  build=${TARNE_BUILD_DIR:-$root/build}
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" --target tarne-cli -j2 >/dev/null
  cli=$build/cli/tarne-cli
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tarne-score-bench-XXXXXX")
if [ "${TARNE_KEEP:-0}" = 1 ]; then
  echo "score_bench: work folder $work"
else
  trap 'rm -rf "$work"' EXIT
fi
# The data-source list and the recent list stay inside the work folder.
export XDG_CONFIG_HOME=$work/config

python3 "$tool" "$set_no" "$work/essays" >"$work/layout.txt"
groups=$(sed -n 's/^groups=\([0-9]*\).*/\1/p' "$work/layout.txt")
trial_count=$(find "$work/essays/trial" -type f | wc -l)

args=(new --name "asap$set_no" --root "$work/project" --groups "$groups")
for g in $(seq 1 "$groups"); do
  args+=(--train "$work/essays/train/g$g" --trial "$work/essays/trial/g$g")
done
"$cli" "${args[@]}" >/dev/null 2>&1
project=$work/project/asap$set_no.trn

now() { date +%s.%N; }

echo "ASAP set $set_no: $(tail -n 1 "$work/layout.txt")"
for kind in words pairs; do
  start=$(now)
  "$cli" train "$project" "$kind" >/dev/null 2>&1
  end=$(now)
  printf 'trained %-5s in %6.1f s\n' "$kind" "$(echo "$end - $start" | bc -l)"
done

printf '%-12s %-15s %10s %10s %9s\n' model tokens seconds essays/s accuracy
for model in multinomial bernoulli; do
  model_flag=
  [ "$model" = bernoulli ] && model_flag=--bernoulli
  for tokens in words words+pairs; do
    kind_flags=(--words)
    [ "$tokens" = words+pairs ] && kind_flags+=(--phrases)
    start=$(now)
    out=$("$cli" score "$project" trial $model_flag "${kind_flags[@]}" 2>/dev/null)
    end=$(now)
    seconds=$(echo "$end - $start" | bc -l)
    accuracy=$(printf '%s\n' "$out" | tr -d '\r' | sed -n 's/.*Accuracy = *\([0-9.]*\)%.*/\1/p' |
               head -n 1)
    printf '%-12s %-15s %10.1f %10.1f %8s%%\n' "$model" "$tokens" "$seconds" \
      "$(echo "$trial_count / $seconds" | bc -l)" "$accuracy"
  done
done
