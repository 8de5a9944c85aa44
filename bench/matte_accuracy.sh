#!/usr/bin/env bash
# Runs velorin-matte over the test pictures with ground truth and prints, per
# picture: size, options, wall time, peak resident memory, and SAD and MSE
# over the trimap's unknown pixels (see score_alpha.cpp).
#
# Usage: bench/matte_accuracy.sh [BUILD_DIR] [-- velorin-matte options...]
#   e.g. bench/matte_accuracy.sh build -- --levels 3 --active 1
# The pictures are the folders of $VELORIN_DATA (default ../shared/data next
# to the repository), each with image.png, trimap.png and gt_alpha.png.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
[ $# -gt 0 ] && shift
[ "${1:-}" = "--" ] && shift
options=("$@")
data=${VELORIN_DATA:-$top/../shared/data}
matte=$build/velorin-matte
score=$build/bench/score_alpha
for tool in "$matte" "$score" /usr/bin/time; do
  [ -x "$tool" ] || { echo "matte_accuracy: $tool is missing (build it first)" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf '%-16s %-10s %-24s %8s %9s %9s %10s %s\n' \
  picture size options wall_s peak_MiB SAD MSE status
for set in "$data"/*/; do
  name=$(basename "$set")
  [ -f "$set/image.png" ] && [ -f "$set/trimap.png" ] && [ -f "$set/gt_alpha.png" ] || continue
  status=0
  /usr/bin/time -v -o "$work/time.txt" "$matte" --quiet --alpha-only "${options[@]}" \
    "$set/image.png" "$set/trimap.png" -o "$work/alpha.png" 2>"$work/stderr.txt" || status=$?
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {
           n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i]; print s }' \
         "$work/time.txt")
  peak_kib=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
  if [ "$status" -eq 0 ]; then
    read -r width height _unknown sad mse \
      < <("$score" "$work/alpha.png" "$set/gt_alpha.png" "$set/trimap.png")
  else
    width=?; height=?; sad=-; mse=-
    sed 's/^/    /' "$work/stderr.txt" >&2
  fi
  rm -f "$work/alpha.png"
  printf '%-16s %-10s %-24s %8.2f %9.1f %9s %10s %s\n' "$name" "${width}x${height}" \
    "${options[*]:-(defaults)}" "$wall" "$(awk -v k="$peak_kib" 'BEGIN {print k / 1024}')" \
    "$sad" "$mse" "$status"
done
