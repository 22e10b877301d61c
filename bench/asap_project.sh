# Sourced by the benchmarks: lays out ASAP set $set_no with asap-folders and
# creates a project over it.  Expects $bench (the script's name), $root,
# $set_no and $build_type; sets $cli, $work, $groups and $project, or exits 0
# with a note when the shared data are missing.
shared=${TARNE_SHARED:-$root/../shared}
tool=$shared/tools/asap-folders
if [ ! -f "$tool" ] || [ ! -f "$shared/data/asap/essays.tsv" ]; then
  echo "$bench: skipped, no ASAP data under $shared"
  exit 0
fi

cli=${TARNE_CLI:-}
if [ -z "$cli" ]; then
  build=${TARNE_BUILD_DIR:-$root/$build_dir}
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" >/dev/null
  cmake --build "$build" --target tarne-cli -j2 >/dev/null
  cli=$build/cli/tarne-cli
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tarne-$bench-XXXXXX")
if [ "${TARNE_KEEP:-0}" = 1 ]; then
  echo "$bench: work folder $work"
else
  trap 'rm -rf "$work"' EXIT
fi
# The data-source list and the recent list stay inside the work folder.
export XDG_CONFIG_HOME=$work/config

python3 "$tool" "$set_no" "$work/essays" >"$work/layout.txt"
groups=$(sed -n 's/^groups=\([0-9]*\).*/\1/p' "$work/layout.txt")

args=(new --name "asap$set_no" --root "$work/project" --groups "$groups")
for g in $(seq 1 "$groups"); do
  args+=(--train "$work/essays/train/g$g" --trial "$work/essays/trial/g$g")
done
"$cli" "${args[@]}" >/dev/null 2>&1
project=$work/project/asap$set_no.trn
