#!/usr/bin/env bash
# Runs each libFuzzer target for SECONDS (default 60) from its seed corpus in
# fuzz/corpus/, with the sanitizers on.  New inputs stay in a temporary
# corpus; a crash leaves its input in the work folder and fails the script.
#
#   scripts/fuzz.sh [SECONDS] [TARGET ...]   # targets: tokenizer stemmer project_file numbers
#   TARNE_SAN_BUILD_DIR=DIR   the sanitizer build folder (default build-san)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(tokenizer stemmer project_file numbers)
build=${TARNE_SAN_BUILD_DIR:-build-san}
if [ ! -x "$build/fuzz/fuzz_${targets[0]}" ]; then
  scripts/sanitize.sh configure
  cmake --build "$build" -j2 $(printf -- '--target fuzz_%s ' "${targets[@]}")
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/tarne-fuzz-XXXXXX")
status=0
for t in "${targets[@]}"; do
  mkdir -p "$work/$t"
  if "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
      -artifact_prefix="$work/$t-" "$work/$t" "fuzz/corpus/$t" >"$work/$t.log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$t.log")
    echo "fuzz_$t: ${runs:-?} inputs in ${seconds} s, no finding"
  else
    status=1
    echo "fuzz_$t: FINDING, see $work/$t.log" >&2
    tail -n 30 "$work/$t.log" >&2
  fi
done
[ $status -ne 0 ] || rm -rf "$work"
exit $status
