#!/usr/bin/env bash
# Training against its floor.  For each collection, the floor program
# (train-floor: read, tokenize as written and stemmed, count words and pairs
# in memory) and a new project's `train words`, `train pairs` and
# `train arguments`, TARNE_RUNS times (default 3), the programs taking turns
# within each round.  Prints the median wall time of each, (words + pairs) /
# floor and arguments / pairs, and the peak memory (max RSS) of each command.
#
#   bench/train_floor.sh [COLLECTION ...]     default: 3 pooled long
#     N        ASAP set N (its training essays, asap-folders seed 7)
#     pooled   all 12,976 essays of sets 1-8 (pooled_folders.py)
#     long     sets 1 and 8 with each three sentences joined into one
#              (long_sentences.py): the worst case of arguments
#   TARNE_CLI=path/to/tarne-cli      the program measured (default: Release
#                                    build in build-release, with train-floor)
#   TARNE_BASE_CLI=path/to/tarne-cli an earlier build measured in the same
#                                    rounds, for before/after ratios
#   TARNE_BASE_FLOOR=path/to/train-floor  an earlier floor program, measured
#                                    in the same rounds
#   TARNE_RUNS=N                     rounds (default 3)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
shared=${TARNE_SHARED:-$root/../shared}
tsv=$shared/data/asap/essays.tsv
if [ ! -f "$shared/tools/asap-folders" ] || [ ! -f "$tsv" ]; then
  echo "train_floor: skipped, no ASAP data under $shared"
  exit 0
fi
build=${TARNE_BUILD_DIR:-$root/build-release}
if [ -z "${TARNE_CLI:-}" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" --target tarne-cli train-floor -j2 >/dev/null
fi
cli=${TARNE_CLI:-$build/cli/tarne-cli}
floor=${TARNE_FLOOR:-$build/bench/train-floor}
base=${TARNE_BASE_CLI:-}
base_floor=${TARNE_BASE_FLOOR:-}
runs=${TARNE_RUNS:-3}
collections=("$@")
[ ${#collections[@]} -gt 0 ] || collections=(3 pooled long)

work=$(mktemp -d "${TMPDIR:-/tmp}/tarne-train-floor-XXXXXX")
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config

# Wall seconds, max RSS (MB) and CPU seconds of one command, as "seconds mb cpu".
measure() {
  local start end
  start=$(date +%s.%N)
  /usr/bin/time -f '%M %U %S' -o "$work/time" "$@" >"$work/out" 2>&1 || {
    echo "train_floor: failed: $*" >&2
    cat "$work/out" >&2
  }
  end=$(date +%s.%N)
  read -r kb user sys < <(tail -n 1 "$work/time")
  printf '%.3f %.1f %.2f\n' "$(echo "$end - $start" | bc -l)" "$(echo "$kb / 1024" | bc -l)" \
    "$(echo "$user + $sys" | bc -l)"
}

median() { sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

# A new project in dir over the group folders essays/train/g1, g2, ...
new_project() {
  local cli=$1 essays=$2 dir=$3
  local folders=("$essays"/train/g*)
  local args=(new --name bench --root "$dir/" --groups "${#folders[@]}")
  for folder in "${folders[@]}"; do args+=(--train "$folder" --trial "$folder"); done
  rm -rf "$dir"
  "$cli" "${args[@]}" >/dev/null 2>&1
}

for c in "${collections[@]}"; do
  essays=$work/$c
  case $c in
    pooled) python3 "$here/pooled_folders.py" "$tsv" "$essays" >/dev/null ;;
    long)
      python3 "$here/pooled_folders.py" "$tsv" "$essays" 1,8 >/dev/null
      python3 "$here/long_sentences.py" "$essays" ;;
    *) python3 "$shared/tools/asap-folders" "$c" "$essays" >/dev/null ;;
  esac
  count=$(find "$essays/train" -type f | wc -l)
  echo "== $c: $count training essays"
  programs=(new)
  [ -n "$base" ] && programs=(base new)
  : >"$work/results"
  for _ in $(seq 1 "$runs"); do
    read -r s m u < <(measure "$floor" "$essays"/train/*)
    echo "floor $s $m $u" >>"$work/results"
    if [ -n "$base_floor" ]; then
      read -r s m u < <(measure "$base_floor" "$essays"/train/*)
      echo "base-floor $s $m $u" >>"$work/results"
    fi
    for p in "${programs[@]}"; do
      program=$cli
      [ "$p" = base ] && program=$base
      new_project "$program" "$essays" "$work/project-$p"
      for kind in words pairs arguments; do
        read -r s m u < <(measure "$program" train "$work/project-$p/bench.trn" "$kind")
        echo "$p-$kind $s $m $u" >>"$work/results"
      done
    done
  done
  printf '%-16s %9s %9s %9s %9s\n' "" "median s" "min s" "cpu s" "max MB"
  floors=floor
  [ -n "$base_floor" ] && floors="floor base-floor"
  for key in $floors $(for p in "${programs[@]}"; do echo "$p-words $p-pairs $p-arguments"; done); do
    values=$(awk -v k="$key" '$1 == k { print $2 }' "$work/results")
    printf '%-16s %9s %9s %9s %9s\n' "$key" "$(echo "$values" | median)" \
      "$(echo "$values" | sort -g | head -n 1)" \
      "$(awk -v k="$key" '$1 == k { print $4 }' "$work/results" | median)" \
      "$(awk -v k="$key" '$1 == k { print $3 }' "$work/results" | sort -g | tail -n 1)"
  done
  f=$(awk '$1 == "floor" { print $2 }' "$work/results" | median)
  for p in "${programs[@]}"; do
    w=$(awk -v k="$p-words" '$1 == k { print $2 }' "$work/results" | median)
    pr=$(awk -v k="$p-pairs" '$1 == k { print $2 }' "$work/results" | median)
    a=$(awk -v k="$p-arguments" '$1 == k { print $2 }' "$work/results" | median)
    printf '%s: (words + pairs) / floor %.2f, arguments / pairs %.2f\n' "$p" \
      "$(echo "($w + $pr) / $f" | bc -l)" "$(echo "$a / $pr" | bc -l)"
  done
done
