#!/usr/bin/env bash
# Times the README's one-machine batch recipe (find | xargs -P N velorin-matte)
# over the trimap pictures of the shared data, once per setting below, with
# -P 1 and -P 2 side by side, RUNS times each; prints each wall time and the
# median per -P.
#
# Usage: bench/batch_recipe.sh [BUILD_DIR] [RUNS]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
runs=${2:-3}
data=${VELORIN_DATA:-$top/../shared/data}
matte=$(cd "$build" && pwd)/velorin-matte
[ -x "$matte" ] || { echo "batch_recipe: $matte is missing (build it first)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/pictures"
for set in "$data"/*/; do
  name=$(basename "$set")
  case $name in *scribble*) continue ;; esac
  [ -f "$set/image.png" ] && [ -f "$set/trimap.png" ] || continue
  ln -s "$set/image.png" "$work/pictures/$name.png"
  ln -s "$set/trimap.png" "$work/pictures/${name}_trimap.png"
done
count=$(find "$work/pictures" -name '*_trimap.png' | wc -l)

# The recipe as the README gives it, with the setting's options after -q.
batch() {
  rm -rf "$work/mattes"; mkdir -p "$work/mattes"
  (cd "$work" && export MATTE="$matte" OPTIONS="$2" && find pictures -name '*_trimap.png' -print0 |
    xargs -0 -P "$1" -n 1 sh -c 'p=${1%_trimap.png}
      "$MATTE" -q $OPTIONS "$p.png" "$1" -o "mattes/${p##*/}_matte.png"' sh)
}

settings=("" "--levels 2 --active 2" "--levels 3 --active 1")
declare -A times
for run in $(seq "$runs"); do
  for parallel in 1 2; do
    start=$(date +%s.%N)
    for s in "${settings[@]}"; do
      batch "$parallel" "$s"
    done
    t=$(echo "$(date +%s.%N) - $start" | bc)
    times[$parallel]="${times[$parallel]:-} $t"
    printf 'run %d, -P %d: %d pictures x %d settings in %.1f s\n' "$run" "$parallel" \
      "$count" "${#settings[@]}" "$t"
  done
done
for parallel in 1 2; do
  # shellcheck disable=SC2086
  median=$(printf '%s\n' ${times[$parallel]} | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
  printf -- '-P %d: median %.1f s over %d runs\n' "$parallel" "$median" "$runs"
done
uptime
