#!/usr/bin/env bash
# Cross-validation on one ASAP essay set (default 3): lays the set out with
# ../shared/tools/asap-folders, creates a project, trains words and word
# pairs, then times `tarne-cli evaluate` (5 folds, the whole grid of 64
# settings) and prints its best setting and that setting's trial figures
# beside scikit-learn's GridSearchCV over the same grid
# (bench/evaluate_sklearn.py).  Skips cleanly when the shared data are missing.
#
#   bench/evaluate.sh [SET]
#   TARNE_CLI=path/to/tarne-cli   use this program instead of building one
#   TARNE_KEEP=1                  keep the work folder (its path is printed)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
set_no=${1:-3}
bench=evaluate
build_type=RelWithDebInfo
build_dir=build
# shellcheck source=bench/asap_project.sh
. "$here/asap_project.sh"

echo "ASAP set $set_no: $(tail -n 1 "$work/layout.txt")"
"$cli" train "$project" words >/dev/null 2>&1
"$cli" train "$project" pairs >/dev/null 2>&1

start=$(date +%s.%N)
"$cli" evaluate "$project" --folds 5 --seed 1 --json >"$work/evaluate.json" 2>/dev/null
end=$(date +%s.%N)
python3 - "$work/evaluate.json" "$(echo "$end - $start" | bc -l)" <<'PY'
import json, sys
d = json.load(open(sys.argv[1]))
b = d["best"]
print("tarne evaluate:  %6.1f s  best %s, %s, alpha %g, rare %s, priors %s"
      % (float(sys.argv[2]), b["model"], "+".join(b["kinds"]), b["alpha"],
         "in" if b["rare_tokens"] else "out", b["priors"]))
s = d["settings"][0]
print("  cv mean QWK %.3f (sd %.3f), accuracy %.1f%%; trial QWK %.3f, accuracy %.1f%%"
      % (s["qwk"]["mean"], s["qwk"]["sd"], 100 * s["accuracy"]["mean"],
         b["trial"]["qwk"], 100 * b["trial"]["accuracy"]))
print("  " + b["command"].replace(sys.argv[1].rsplit("/", 1)[0], "$WORK"))
PY
/usr/bin/python3 "$here/evaluate_sklearn.py" "$work/essays" "$groups"
