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
set_no=${1:-3}
bench=score_bench
build_type=RelWithDebInfo
build_dir=build
# shellcheck source=bench/asap_project.sh
. "$here/asap_project.sh"
trial_count=$(find "$work/essays/trial" -type f | wc -l)

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
