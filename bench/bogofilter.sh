#!/usr/bin/env bash
# Tarne against bogofilter, the naive Bayes filter that also trains into a
# database on disk, on two-group jobs from one ASAP set (default 3): groups
# 1 and 4, and groups 2 and 3.  Each job trains both groups and classifies
# the trial essays of both: Tarne with new, train words and score trial
# (classic defaults), bogofilter in bulk mode (-s and -n to register the two
# groups as spam and ham, -T -B to classify).  Side by side, alternating, the
# median of TARNE_RUNS runs (default 3): the wall and CPU time of each, their
# ratio and each one's accuracy.  bogofilter's essays of spamicity above 0.5
# count as group one (its "unsure" band included), the rest as the other.
#
#   bench/bogofilter.sh [SET]
#   TARNE_CLI=path/to/tarne-cli   use this program instead of building one
#
# Debian's bogofilter is installed with apt-get when missing; without it the
# script says so and stops.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
set_no=${1:-3}
runs=${TARNE_RUNS:-3}
shared=${TARNE_SHARED:-$root/../shared}
tool=$shared/tools/asap-folders
data=$shared/data/asap/essays.tsv
if [ ! -f "$tool" ] || [ ! -f "$data" ]; then
  echo "bogofilter: skipped, no ASAP data under $shared"
  exit 0
fi
if ! command -v bogofilter >/dev/null; then
  if [ "$(id -u)" != 0 ] || ! apt-get install -y -q bogofilter >/dev/null 2>&1 ||
     ! command -v bogofilter >/dev/null; then
    echo "bogofilter: skipped, bogofilter is missing and could not be installed"
    exit 0
  fi
fi

# shellcheck source=bench/release_cli.sh
. "$here/release_cli.sh"
release_cli

work=$(mktemp -d "${TMPDIR:-/tmp}/tarne-bogofilter-XXXXXX")
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
python3 "$tool" "$set_no" "$work/essays" >"$work/layout.txt"
echo "ASAP set $set_no: $(tail -n 1 "$work/layout.txt"); $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"

# Runs the command line given; adds its wall and CPU seconds to $wall and $cpu.
timed() {
  local start end user sys
  start=$(date +%s.%N)
  /usr/bin/time -f '%U %S' -o "$work/time.txt" "$@" >"$work/out.txt" 2>&1 || true
  end=$(date +%s.%N)
  read -r user sys < <(tail -n 1 "$work/time.txt")
  wall=$(echo "$wall + $end - $start" | bc -l)
  cpu=$(echo "$cpu + $user + $sys" | bc -l)
}
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

tarne_job() {  # first group, second group
  local p=$work/tarne args=(new --name pair --root "$work/tarne/" --groups 2)
  rm -rf "$p" "$XDG_CONFIG_HOME"
  for g in "$1" "$2"; do
    args+=(--train "$work/essays/train/g$g" --trial "$work/essays/trial/g$g")
  done
  wall=0 cpu=0
  timed "$cli" "${args[@]}"
  timed "$cli" train "$p/pair.trn" words
  timed "$cli" score "$p/pair.trn" trial
  accuracy=$(tr -d '\r' <"$work/out.txt" | sed -n 's/.*Accuracy = *\([0-9.]*\)%.*/\1/p' | head -n 1)
}

bogofilter_job() {  # first group, second group
  local d=$work/bogo
  rm -rf "$d"; mkdir -p "$d"
  wall=0 cpu=0
  timed bogofilter -C -d "$d" -s -B "$work/essays/train/g$1"
  timed bogofilter -C -d "$d" -n -B "$work/essays/train/g$2"
  timed bogofilter -C -d "$d" -T -B "$work/essays/trial/g$1" "$work/essays/trial/g$2"
  accuracy=$(awk -v first="/g$1/" '
    { one = ($3 + 0 > 0.5); right += (index($1, first) > 0) == one; n++ }
    END { printf "%.1f", n ? 100 * right / n : 0 }' "$work/out.txt")
}

for pair in "1 4" "2 3"; do
  read -r a b <<<"$pair"
  trial=$(($(find "$work/essays/trial/g$a" "$work/essays/trial/g$b" -type f | wc -l)))
  echo "groups $a and $b ($trial trial essays):"
  tw=() tc=() bw=() bc=()
  for i in $(seq 1 "$runs"); do
    tarne_job "$a" "$b"; tw+=("$wall"); tc+=("$cpu"); tarne_accuracy=$accuracy
    bogofilter_job "$a" "$b"; bw+=("$wall"); bc+=("$cpu"); bogofilter_accuracy=$accuracy
    printf '    run %d: Tarne %.2f s (CPU %.2f)   bogofilter %.2f s (CPU %.2f)\n' "$i" \
      "${tw[-1]}" "${tc[-1]}" "${bw[-1]}" "${bc[-1]}"
  done
  t=$(median "${tw[@]}"); tcpu=$(median "${tc[@]}"); s=$(median "${bw[@]}"); scpu=$(median "${bc[@]}")
  printf '  Tarne %.2f s (CPU %.2f), accuracy %s%%   bogofilter %.2f s (CPU %.2f), accuracy %s%%   ratio %.2f, CPU ratio %.2f\n' \
    "$t" "$tcpu" "$tarne_accuracy" "$s" "$scpu" "$bogofilter_accuracy" \
    "$(echo "$t / $s" | bc -l)" "$(echo "if ($scpu > 0) $tcpu / $scpu else 0" | bc -l)"
done
