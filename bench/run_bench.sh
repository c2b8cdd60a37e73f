#!/usr/bin/env bash
# Runs ba-engine on synthetic fields of 1,000, 10,000 and 100,000 wells and
# prints, per size: input size, wall time, processor time (user + system),
# peak resident memory, and time and memory per well.
#
#   bench/run_bench.sh [BUILD_DIR] [SIZES...]
#
# BUILD_DIR (default build) holds a release build with ba-engine and the
# bench programs (`make bench` builds it first). Fields are written and run
# in a temporary directory that is removed afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
shift || true
sizes=("$@")
if [ ${#sizes[@]} -eq 0 ]; then sizes=(1000 10000 100000); fi
seed=${BENCH_SEED:-7}

engine=$build/ba-engine
make_field=$build/bench/make_field
measure=$build/bench/measure
for program in "$engine" "$make_field" "$measure"; do
  if [ ! -x "$program" ]; then
    echo "run_bench: $program not found; run 'make bench' (or 'make build') first" >&2
    exit 1
  fi
done
engine=$(realpath "$engine")
measure=$(realpath "$measure")

work=$(mktemp -d "${TMPDIR:-/tmp}/zelba-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'), $(awk '/MemTotal/ {printf "%.1f GB", $2 / 1048576}' /proc/meminfo)"
echo "seed $seed; daily mode, text report, totals table and load file"
printf '%8s %10s %9s %9s %10s %12s %12s\n' wells input_MB wall_s cpu_s peak_MB us_per_well KB_per_well

declare -A perWell
status=0
for wells in "${sizes[@]}"; do
  dir=$work/$wells
  mkdir -p "$dir"
  "$make_field" "$wells" "$seed" "$dir/field.ba"
  inputBytes=$(stat -c %s "$dir/field.ba")
  # The outputs go to the run's own directory.
  if ! line=$(cd "$dir" && "$measure" "$engine" field.ba 2>&1 >/dev/null | grep '^measure:'); then
    echo "run_bench: ba-engine failed on $wells wells" >&2
    status=1
    continue
  fi
  read -r _ _ code _ wall _ user _ sys _ rssKb <<<"$line"
  if [ "$code" -ne 0 ]; then
    echo "run_bench: ba-engine exited with $code on $wells wells" >&2
    status=1
  fi
  for output in field.prn field_totals.txt field_load.txt; do
    [ -s "$dir/$output" ] || { echo "run_bench: $output missing for $wells wells" >&2; status=1; }
  done
  perWell[$wells]=$(awk -v w="$wall" -v n="$wells" 'BEGIN {printf "%.3f", w * 1e6 / n}')
  awk -v n="$wells" -v b="$inputBytes" -v w="$wall" -v c="$user" -v s="$sys" -v r="$rssKb" \
    -v p="${perWell[$wells]}" \
    'BEGIN {printf "%8d %10.1f %9.3f %9.3f %10.1f %12s %12.2f\n", n, b / 1048576, w, c + s, r / 1024, p, r / n}'
  rm -f "$dir"/*
done

first=${sizes[0]}
last=${sizes[${#sizes[@]} - 1]}
if [ -n "${perWell[$first]:-}" ] && [ -n "${perWell[$last]:-}" ] && [ "$first" != "$last" ]; then
  awk -v a="${perWell[$first]}" -v b="${perWell[$last]}" -v f="$first" -v l="$last" \
    'BEGIN {printf "time per well at %d wells / at %d wells: %.2f\n", l, f, b / a}'
fi
exit $status
