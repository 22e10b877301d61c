#!/usr/bin/env bash
# Tarne against a scikit-learn script doing the same job, on one ASAP set
# (default 3) laid out by ../shared/tools/asap-folders, and Tarne against a
# reference build of an earlier commit, side by side in one run.
#
#   bench/compare.sh [SET]
#   TARNE_REF=COMMIT   the reference build (default: the commit before the
#                      in-memory engine); TARNE_REF=none leaves it out
#   TARNE_RUNS=N       runs per workload (default 3, the median is shown)
#   TARNE_POOLED=1     also the workloads on the pooled 12,976 essays (all
#                      of them scored), training cost per essay, and the
#                      trial essays scored against three times the
#                      vocabulary
#   TARNE_KEEP=1       keep the work folder
#
# Workloads, each from a new project: (a) new, train words, train pairs,
# score trial --words --phrases; (b) as (a), then score trial --bernoulli
# --words; each with the wall-time and the CPU-time (user + system) ratio
# to scikit-learn.  The reference is bench/sklearn_reference.py with Debian's
# python3-sklearn (installed with apt-get when missing; skipped when that
# fails).  For every command the wall time and the peak memory (max RSS) are
# printed.  Then scoring throughput with the recomputation timed apart, and
# digests of the tables and of every report and result log after a fixed
# sequence of commands, for both builds: equal digests mean equal results.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
set_no=${1:-3}
runs=${TARNE_RUNS:-3}
ref=${TARNE_REF:-ebcc8401f7608abd4ef09b7791351d66951807b3}
shared=${TARNE_SHARED:-$root/../shared}
tool=$shared/tools/asap-folders
data=$shared/data/asap/essays.tsv
if [ ! -f "$tool" ] || [ ! -f "$data" ]; then
  echo "compare: skipped, no ASAP data under $shared"
  exit 0
fi
py=/usr/bin/python3
[ -x "$py" ] || py=python3

# shellcheck source=bench/release_cli.sh
. "$here/release_cli.sh"

new_cli=${TARNE_CLI:-}
if [ -z "$new_cli" ]; then
  build_cli "$root" "$root/build-release"
  new_cli=$root/build-release/cli/tarne-cli
fi
clis=("$new_cli")
names=(this)
if [ "$ref" != none ]; then
  short=$(git -C "$root" rev-parse --short "$ref")
  ref_cli=$root/build-ref-$short/cli/tarne-cli
  if [ ! -x "$ref_cli" ]; then
    tree=$(mktemp -d "${TMPDIR:-/tmp}/tarne-ref-XXXXXX")
    git -C "$root" worktree add --detach "$tree" "$ref" >/dev/null 2>&1
    build_cli "$tree" "$root/build-ref-$short"
    git -C "$root" worktree remove --force "$tree"
  fi
  clis=("$ref_cli" "$new_cli")
  names=("ref $short" this)
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tarne-compare-XXXXXX")
if [ "${TARNE_KEEP:-0}" = 1 ]; then echo "compare: work folder $work"; else trap 'rm -rf "$work"' EXIT; fi
export XDG_CONFIG_HOME=$work/config
"$py" "$tool" "$set_no" "$work/essays" >"$work/layout.txt"
groups=$(sed -n 's/^groups=\([0-9]*\).*/\1/p' "$work/layout.txt")
trial=$(find "$work/essays/trial" -type f | wc -l)
train=$(find "$work/essays/train" -type f | wc -l)
echo "ASAP set $set_no: $(tail -n 1 "$work/layout.txt"); $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"

have_sklearn=1
if ! "$py" -c 'import sklearn' 2>/dev/null; then
  if [ "$(id -u)" = 0 ] && apt-get install -y -q python3-sklearn >/dev/null 2>&1 &&
     "$py" -c 'import sklearn' 2>/dev/null; then :; else
    echo "compare: python3-sklearn is missing and could not be installed; no reference"
    have_sklearn=0
  fi
fi

now() { date +%s.%N; }
# Runs one command; sets $wall and $cpu (seconds, user + system) and $rss
# (KB) and keeps its output in $work/out.txt.
timed() {
  local start end user sys
  start=$(now)
  /usr/bin/time -f '%M %U %S' -o "$work/rss.txt" "$@" >"$work/out.txt" 2>"$work/err.txt" || true
  end=$(now)
  wall=$(echo "$end - $start" | bc -l)
  read -r rss user sys < <(tail -n 1 "$work/rss.txt")
  cpu=$(echo "$user + $sys" | bc -l)
}
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

make_project() {  # cli, folder [essays folder, groups]
  local essays=${3:-$work/essays} n=${4:-$groups}
  local args=(new --name asap --root "$2/" --groups "$n")
  for g in $(seq 1 "$n"); do
    args+=(--train "$essays/train/g$g" --trial "$essays/trial/g$g")
  done
  rm -rf "$2" "$XDG_CONFIG_HOME"
  timed "$1" "${args[@]}"
}

# One workload with one build: total wall and CPU time; peak memory per
# command.
workload() {  # cli, a|b, label, essays folder, groups, layout
  local cli=$1 p=$work/p-$2 total=0 cpus=0 line=""
  make_project "$cli" "$p" "$4" "$5"
  total=$(echo "$total + $wall" | bc -l); cpus=$(echo "$cpus + $cpu" | bc -l); line+=" new ${rss}K"
  local steps=("train words" "train pairs" "score trial --words --phrases")
  [ "$2" = b ] && steps+=("score trial --bernoulli --words")
  for step in "${steps[@]}"; do
    read -ra words <<<"$step"
    timed "$cli" "${words[0]}" "$p/asap.trn" "${words[@]:1}"
    total=$(echo "$total + $wall" | bc -l); cpus=$(echo "$cpus + $cpu" | bc -l)
    line+=" | ${step%% --*} $(printf '%.2f' "$wall")s ${rss}K"
  done
  echo "$total" >>"$work/times-$6-$3-$2"
  echo "$cpus" >>"$work/cpu-$6-$3-$2"
  echo "    $3 run: $(printf '%.2f' "$total") s, CPU $(printf '%.2f' "$cpus") s:$line"
}

layouts=(set)
if [ "${TARNE_POOLED:-0}" = 1 ]; then
  # Every essay of sets 1-8 in four groups (each set's score quartiles),
  # all of them scored: the trial folders are the training folders.
  "$py" "$here/pooled_folders.py" "$data" "$work/pooled" >"$work/pooled.txt"
  ln -s train "$work/pooled/trial"
  layouts+=(pooled)
fi
for layout in "${layouts[@]}"; do
  essays=$work/essays; n=$groups; label="set $set_no"
  if [ "$layout" = pooled ]; then
    essays=$work/pooled; n=4; label="pooled, $(find "$essays/train/" -type f | wc -l) essays"
  fi
  for w in a b; do
    echo "workload ($w), $label:"
    for i in $(seq 1 "$runs"); do
      for k in "${!clis[@]}"; do workload "${clis[$k]}" "$w" "$k" "$essays" "$n" "$layout"; done
      if [ "$have_sklearn" = 1 ]; then
        flag=; [ "$w" = b ] && flag=--bernoulli
        # Without the OpenBLAS overrides of this machine, which slow numpy.
        timed env -u OPENBLAS_CORETYPE -u OPENBLAS_L2_SIZE "$py" "$here/sklearn_reference.py" \
          "$essays" "$n" $flag
        echo "$wall" >>"$work/times-$layout-sk-$w"
        echo "$cpu" >>"$work/cpu-$layout-sk-$w"
        echo "    scikit-learn run: $(printf '%.2f' "$wall") s, CPU $(printf '%.2f' "$cpu") s," \
          "${rss}K: $(tr '\n' ' ' <"$work/out.txt")"
      fi
    done
    for k in "${!clis[@]}"; do
      m=$(median $(cat "$work/times-$layout-$k-$w"))
      c=$(median $(cat "$work/cpu-$layout-$k-$w"))
      if [ "$have_sklearn" = 1 ]; then
        s=$(median $(cat "$work/times-$layout-sk-$w"))
        sc=$(median $(cat "$work/cpu-$layout-sk-$w"))
        printf '  (%s) %-12s median %6.2f s, CPU %6.2f s   scikit-learn %6.2f s, CPU %6.2f s   ratio %5.2f, CPU ratio %5.2f\n' \
          "$w" "${names[$k]}" "$m" "$c" "$s" "$sc" "$(echo "$m / $s" | bc -l)" \
          "$(echo "$c / $sc" | bc -l)"
      else
        printf '  (%s) %-12s median %6.2f s, CPU %6.2f s\n' "$w" "${names[$k]}" "$m" "$c"
      fi
    done
  done
done

# Scoring throughput: the score command less the recomputation it starts with,
# timed apart with recompute commands of the same options.  Each is run
# twice and the second run timed: it finds the rows current, as the score
# command after it does, so the figure subtracted is the read the score
# pays and not the write the first recompute made.
echo "scoring throughput, words and pairs ($trial trial, $train training essays):"
for k in "${!clis[@]}"; do
  p=$work/p-b
  make_project "${clis[$k]}" "$p"
  timed "${clis[$k]}" train "$p/asap.trn" words
  timed "${clis[$k]}" train "$p/asap.trn" pairs
  for model in multinomial bernoulli; do
    flag=; [ "$model" = bernoulli ] && flag=--bernoulli
    "${clis[$k]}" recompute "$p/asap.trn" words $flag >/dev/null
    timed "${clis[$k]}" recompute "$p/asap.trn" words $flag; r=$wall
    "${clis[$k]}" recompute "$p/asap.trn" pairs $flag >/dev/null
    timed "${clis[$k]}" recompute "$p/asap.trn" pairs $flag; r=$(echo "$r + $wall" | bc -l)
    for what in trial train; do
      n=$trial; [ "$what" = train ] && n=$train
      timed "${clis[$k]}" score "$p/asap.trn" "$what" $flag --words --phrases
      printf '  %-12s %-11s %-5s recompute %5.2f s  score %6.2f s  %8.0f essays/s  %6dK\n' \
        "${names[$k]}" "$model" "$what" "$r" "$wall" \
        "$(echo "$n / ($wall - $r)" | bc -l)" "$rss"
    done
  done
done

# Digests after a fixed sequence: training of every kind, two removals,
# scoring with every model and kind and a few options, the top-token
# reports and the statistics.
digest_run() {  # cli, folder; prints "tables DIGEST reports DIGEST"
  local cli=$1 p=$2 out=$work/reports.txt
  make_project "$cli" "$p"
  : >"$out"
  run() { "$cli" "$@" >>"$out" 2>&1 || echo "exit $?" >>"$out"; }
  for kind in words pairs arguments; do run train "$p/asap.trn" "$kind"; done
  for g in 1 2; do
    run remove "$p/asap.trn" --group "$g" "$(find "$work/essays/train/g$g" -type f | sort | head -n 1)"
  done
  for model in "" --bernoulli; do
    for kinds in --words --phrases --arguments "--words --phrases --arguments"; do
      # shellcheck disable=SC2086
      run score "$p/asap.trn" trial $model $kinds --log --show-errors
      cat "$p/asap.csv" >>"$out"
    done
    run score "$p/asap.trn" train $model --words --phrases --log
    cat "$p/asap.csv" >>"$out"
    run score "$p/asap.trn" trial $model --stemmed --no-rare --no-low-info --words --phrases --log
    cat "$p/asap.csv" >>"$out"
  done
  for kind in words pairs arguments; do run top "$p/asap.trn" "$kind"; done
  run stats "$p/asap.trn"
  # Paths are taken relative to the project, so that runs in different
  # temporary folders give the same digests.
  reports=$(sed -e "s#$p/#./#g" -e "s#$work/#../#g" \
            -e 's#[0-9][0-9]-[0-9][0-9]-[0-9]\{4\} [0-9:]\{8\}#TIME#g' \
            "$out" | sha256sum | cut -c1-16)
  tables=$("$py" - "$p/asap.db" "$p/" "$work/" <<'EOF' | sha256sum | cut -c1-16
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
def show(*values):
    print(" ".join(values).replace(sys.argv[2], "./").replace(sys.argv[3], "../"))
for t in ("run1", "stem"):
    for row in db.execute("SELECT * FROM %s ORDER BY Vocab, isword, isphrase, isarg" % t):
        show(t, repr(row))
    for row in db.execute("SELECT Vocab FROM %s ORDER BY rowid" % t):
        show(t, repr(row))
for row in db.execute("SELECT * FROM calib ORDER BY rowid"):
    show("calib", repr(row))
show(repr(list(db.execute("SELECT * FROM trainsize"))))
EOF
)
  echo "tables $tables reports $reports"
}
echo "digests after training, removal and scoring with every model and kind:"
for k in "${!clis[@]}"; do
  start=$(now)
  result=$(digest_run "${clis[$k]}" "$work/p-digest-$k")
  printf '  %-12s %s  (%.1f s)\n' "${names[$k]}" "$result" "$(echo "$(now) - $start" | bc -l)"
done

if [ "${TARNE_POOLED:-0}" = 1 ]; then
  # The cost of an essay against the size of the vocabulary: the pooled
  # collection (every set, four groups by each set's score quartiles, laid
  # out above) against this set alone.
  pooled=$(find "$work/pooled/train" -type f | wc -l)
  echo "training cost per essay, set $set_no ($train essays) against pooled ($pooled essays):"
  for k in "${!clis[@]}"; do
    for layout in set pooled; do
      p=$work/p-$layout
      if [ "$layout" = set ]; then
        make_project "${clis[$k]}" "$p"; n=$train
        words=$(find "$work/essays/train" -type f -exec cat {} + | wc -w)
      else
        args=(new --name asap --root "$p/" --groups 4)
        for g in 1 2 3 4; do args+=(--train "$work/pooled/train/g$g" --trial "$work/pooled/train/g$g"); done
        rm -rf "$p" "$XDG_CONFIG_HOME"; "${clis[$k]}" "${args[@]}" >/dev/null 2>&1; n=$pooled
        words=$(find "$work/pooled/train" -type f -exec cat {} + | wc -w)
      fi
      for kind in words pairs; do
        timed "${clis[$k]}" train "$p/asap.trn" "$kind"
        # The pooled essays are twice as long on average, so the cost per
        # word of essay text is the measure that compares like with like.
        printf '  %-12s %-6s %-5s %7.2f s  %6.3f ms/essay  %6.3f us/word  %7dK\n' "${names[$k]}" \
          "$layout" "$kind" "$wall" "$(echo "1000 * $wall / $n" | bc -l)" \
          "$(echo "1000000 * $wall / $words" | bc -l)" "$rss"
      done
    done
  done

  # Like with like: the set's own essays (laid out in the same quartile
  # groups) trained into an empty project, and into one that already holds
  # the other sets' vocabulary.  "idle" is a run that finds nothing new in
  # the full project: what every run pays before its first essay.
  "$py" "$here/pooled_folders.py" "$data" "$work/alone" "$set_no" >/dev/null
  others=$(seq 1 8 | grep -vx "$set_no" | paste -sd,)
  echo "set $set_no's essays trained into an empty project and into one holding sets $others," \
    "then its trial essays scored against each:"
  for k in "${!clis[@]}"; do
    for layout in alone rest; do
      p=$work/q-$layout
      rm -rf "$p" "$XDG_CONFIG_HOME"
      if [ "$layout" = rest ]; then
        rm -rf "$work/rest"
        "$py" "$here/pooled_folders.py" "$data" "$work/rest" "$others" >/dev/null
      fi
      # The trial folders are the set's own (the first four groups).
      args=(new --name asap --root "$p/" --groups 4)
      for g in 1 2 3 4; do
        trial_folder=$work/essays/trial/g$g
        [ -d "$trial_folder" ] || trial_folder=$work/$layout/train/g$g
        args+=(--train "$work/$layout/train/g$g" --trial "$trial_folder")
      done
      "${clis[$k]}" "${args[@]}" >/dev/null 2>&1
      if [ "$layout" = rest ]; then
        for kind in words pairs; do "${clis[$k]}" train "$p/asap.trn" "$kind" >/dev/null 2>&1; done
        "$py" "$here/pooled_folders.py" "$data" "$work/rest" "$set_no" >/dev/null
      fi
      n=$(find "$work/alone/train" -type f | wc -l)
      for kind in words pairs; do
        timed "${clis[$k]}" train "$p/asap.trn" "$kind"; busy=$wall; peak=$rss
        timed "${clis[$k]}" train "$p/asap.trn" "$kind"; idle=$wall
        printf '  %-12s %-5s %-5s %6.2f s  %6.3f ms/essay  idle run %5.2f s  %6.3f ms/essay less idle  %7dK\n' \
          "${names[$k]}" "$layout" "$kind" "$busy" "$(echo "1000 * $busy / $n" | bc -l)" "$idle" \
          "$(echo "1000 * ($busy - $idle) / $n" | bc -l)" "$peak"
      done
      # The same trial essays against this project's vocabulary: the first
      # run after training (every probability changes) and a second one,
      # with the recomputation of the same options timed apart.
      timed "${clis[$k]}" score "$p/asap.trn" trial --words --phrases; first=$wall; firstcpu=$cpu
      timed "${clis[$k]}" score "$p/asap.trn" trial --words --phrases; again=$wall; againcpu=$cpu
      timed "${clis[$k]}" recompute "$p/asap.trn" words; r=$wall
      timed "${clis[$k]}" recompute "$p/asap.trn" pairs; r=$(echo "$r + $wall" | bc -l)
      printf '  %-12s %-5s score trial: first %5.2f s (CPU %5.2f), again %5.2f s (CPU %5.2f), recompute alone %5.2f s, %d rows\n' \
        "${names[$k]}" "$layout" "$first" "$firstcpu" "$again" "$againcpu" "$r" \
        "$("$py" -c 'import sqlite3,sys; print(sqlite3.connect(sys.argv[1]).execute("select count(*) from run1 where isword=1 or isphrase=1").fetchone()[0])' "$p/asap.db")"
      echo "$first $firstcpu $again $againcpu" >"$work/vocab-$k-$layout"
    done
    read -r fa fca aa aca <"$work/vocab-$k-alone"
    read -r fr fcr ar acr <"$work/vocab-$k-rest"
    printf '  %-12s the full vocabulary against the set alone: first run %.2f (CPU %.2f), again %.2f (CPU %.2f)\n' \
      "${names[$k]}" "$(echo "$fr / $fa" | bc -l)" "$(echo "$fcr / $fca" | bc -l)" \
      "$(echo "$ar / $aa" | bc -l)" "$(echo "$acr / $aca" | bc -l)"
  done
fi
