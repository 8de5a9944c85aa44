#!/usr/bin/env bash
# The solver benchmark: whole-process velorin-matte on trimaps and strokes of
# 1, 4 and 12 megapixels, the Cholesky path and the LU path side by side (and
# an older build's velorin-matte, if given), with wall time (median of RUNS
# runs), peak resident memory, SAD against the ground truth, and the largest
# |difference| between the two paths' double mattes (bench_paths).
#
# Usage: bench/solver_table.sh [BUILD_DIR [OLD_VELORIN_MATTE]]
#   RUNS (default 3): runs per case and program; a run that fails is not
#   repeated. LU_LIMIT (default 6G): --max-memory of the LU runs, so a case
#   LU cannot fit is refused instead of taking the shared machine's memory.
#   The older program has no such option: it runs under an address-space
#   limit of OLD_LIMIT_KB (default 8 GiB) and a timeout of OLD_TIMEOUT
#   seconds (default 300), and is not run on the 12 MP cases. ONLY (a grep
#   pattern) picks cases by name.
# The larger pictures are made once into $VELORIN_BENCH_PICTURES (default
# /tmp/velorin_bench_pictures) by make_bench_pictures.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
old=${2:-}
runs=${RUNS:-3}
lu_limit=${LU_LIMIT:-6G}
old_limit_kb=${OLD_LIMIT_KB:-8388608}
old_timeout=${OLD_TIMEOUT:-300}
data=${VELORIN_DATA:-$top/../shared/data}
pictures=${VELORIN_BENCH_PICTURES:-/tmp/velorin_bench_pictures}
matte=$build/velorin-matte
for tool in "$matte" "$build/bench/score_alpha" "$build/bench/bench_paths" \
            "$build/bench/make_bench_pictures" /usr/bin/time; do
  [ -x "$tool" ] || { echo "solver_table: $tool is missing (build it first)" >&2; exit 2; }
done
[ -d "$pictures/synthetic_12mp" ] || "$build/bench/make_bench_pictures" "$data" "$pictures"

# --levels auto once velorin-matte knows it; until then its stand-in.
if "$matte" --help | grep -q -- '--levels.*auto\|auto.*--levels'; then
  auto=(--levels auto)
else
  auto=(--levels 5 --active 5)
fi

# name|folder|options|old (run the older program: yes/no)
cases=(
  "1 MP trimap petals|$data/petals_1mp||yes"
  "1 MP trimap meadow|$data/meadow_1mp||yes"
  "4 MP trimap petals x2|$pictures/petals_4mp||yes"
  "12 MP trimap synthetic|$pictures/synthetic_12mp||no"
  "1 MP strokes petals|$data/petals_1mp_scribble||yes"
  "1 MP strokes petals|$data/petals_1mp_scribble|${auto[*]}|yes"
  "12 MP strokes petals x3.5|$pictures/petals_12mp_scribble||no"
)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One run: prints "wall peak_MiB exit_status"; the alpha goes to $work/alpha.png.
run_once() {
  local status=0
  "$@" 2>"$work/stderr.txt" || status=$?
  awk -v s="$status" -F'\t' 'END {printf "%s %.0f %s\n", $1, $2 / 1024, s}' "$work/time.txt"
}

timed() {
  /usr/bin/time -f '%e\t%M' -o "$work/time.txt" "$@"
}

# Runs one program RUNS times (once if it fails); prints
# "median_wall peak_MiB SAD" or "fails ..." / "refused ...".
measure() {
  local folder=$1; shift
  local walls=() peak=0 status=0
  for ((i = 0; i < runs; i++)); do
    rm -f "$work/alpha.png"
    read -r wall mib status < <(run_once "$@" --quiet --alpha-only \
      "$folder/image.png" "$folder/trimap.png" -o "$work/alpha.png")
    walls+=("$wall")
    (( mib > peak )) && peak=$mib
    [ "$status" -eq 0 ] || break
  done
  local median
  median=$(printf '%s\n' "${walls[@]}" | sort -g | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}')
  if [ "$status" -ne 0 ]; then
    local what=fails
    grep -q 'not enough memory' "$work/stderr.txt" && what=refused
    [ "$status" -eq 124 ] && what="timed out"
    echo "$what after ${median} s, ${peak} MiB"
    return
  fi
  local sad=-
  [ -f "$folder/gt_alpha.png" ] &&
    sad=$("$build/bench/score_alpha" "$work/alpha.png" "$folder/gt_alpha.png" "$folder/trimap.png" |
          awk '{print $4}')
  echo "${median} s, ${peak} MiB, SAD ${sad}"
}

echo "velorin-matte, whole process: median wall of $runs runs, peak resident memory, SAD"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
printf '| case | options | Cholesky (new) | LU (new) | old |  max diff |\n|---|---|---|---|---|---|\n'
for c in "${cases[@]}"; do
  IFS='|' read -r name folder options run_old <<<"$c"
  grep -q -- "${ONLY:-.}" <<<"$name $options" || continue
  read -r -a opts <<<"$options"
  chol=$(measure "$folder" timed "$matte" "${opts[@]}")
  lu=$(measure "$folder" timed "$matte" "${opts[@]}" --solver lu --max-memory "$lu_limit")
  old_result="not run"
  if [ -n "$old" ] && [ "$run_old" = yes ]; then
    old_result=$(measure "$folder" timed bash -c 'ulimit -v '"$old_limit_kb"'; exec timeout '"$old_timeout"' "$@"' \
      old "$old" "${opts[@]}")
  fi
  diff=-
  if [[ $chol != fails* && $chol != refused* && $lu != fails* && $lu != refused* ]]; then
    bytes=$(awk -v s="$lu_limit" 'BEGIN {u = toupper(substr(s, length(s))); n = s + 0;
             m = u == "K" ? 1024 : u == "M" ? 1048576 : u == "G" ? 1073741824 : 1; printf "%.0f", n * m}')
    diff=$("$build/bench/bench_paths" "$folder/image.png" "$folder/trimap.png" "${opts[@]}" \
             --max-memory "$bytes" | sed 's/.*largest |difference| //')
  fi
  printf '| %s | %s | %s | %s | %s | %s |\n' "$name" "${options:-(defaults)}" "$chol" "$lu" \
    "$old_result" "$diff"
done
echo
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
