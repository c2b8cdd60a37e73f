#!/usr/bin/env bash
# Runs ba-engine on synthetic fields of 1,000, 10,000 and 100,000 wells and
# on a nodal field of 1,000 wells, and prints, per field: input size, wall
# time, processor time (user + system), peak resident memory, time and memory
# per well, and the copy floor: the time to read the same input and write the
# same output bytes through the page cache (cat), and the run's wall time as
# a multiple of it.
#
#   bench/run_bench.sh [BUILD_DIR] [SIZES...]
#
# A size is a number of wells of the standard field, or nodalN for a nodal
# field of N wells (`make_field N SEED OUTPUT nodal`). BUILD_DIR (default
# build) holds a release build with ba-engine and the bench programs (`make
# bench` builds it first). Fields are written and run in a temporary
# directory that is removed afterwards. ZELBA_THREADS is passed on to the
# engine (1: one thread).
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
shift || true
sizes=("$@")
if [ ${#sizes[@]} -eq 0 ]; then sizes=(1000 10000 100000 nodal1000); fi
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
echo "threads: ${ZELBA_THREADS:-all cores}"
printf '%10s %9s %9s %9s %9s %12s %12s %9s %6s\n' field input_MB wall_s cpu_s peak_MB us_per_well \
  KB_per_well floor_s ratio

declare -A perWell wallOf peakKbOf floorOf userOf sysOf
status=0
for size in "${sizes[@]}"; do
  dir=$work/$size
  mkdir -p "$dir"
  if [[ $size == nodal* ]]; then
    wells=${size#nodal}
    "$make_field" "$wells" "$seed" "$dir/field.ba" nodal
  else
    wells=$size
    "$make_field" "$wells" "$seed" "$dir/field.ba"
  fi
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
  # The copy floor: the input read and the outputs' bytes written anew, each
  # through the page cache, as the run reads and writes them.
  floorLine=$(cd "$dir" && "$measure" bash -c \
    'cat field.ba >input.copy && cat field.prn >report.copy && cat field_totals.txt >totals.copy && cat field_load.txt >load.copy' \
    2>&1 >/dev/null | grep '^measure:')
  read -r _ _ _ _ floor _ <<<"$floorLine"
  perWell[$size]=$(awk -v w="$wall" -v n="$wells" 'BEGIN {printf "%.3f", w * 1e6 / n}')
  wallOf[$size]=$wall
  peakKbOf[$size]=$rssKb
  floorOf[$size]=$floor
  userOf[$size]=$user
  sysOf[$size]=$sys
  awk -v f="$size" -v n="$wells" -v b="$inputBytes" -v w="$wall" -v c="$user" -v s="$sys" \
    -v r="$rssKb" -v p="${perWell[$size]}" -v fl="$floor" \
    'BEGIN {printf "%10s %9.1f %9.3f %9.3f %9.1f %12s %12.2f %9.3f %6.1f\n", f, b / 1048576, w, c + s, r / 1024, p, r / n, fl, (fl > 0 ? w / fl : 0)}'
  rm -f "$dir"/*
done

# The performance targets of the fields that were run: each met, or by how
# much it falls short.
target() {  # target TEXT MEASURED LIMIT UNIT [WHY]: WHY is printed when it is short
  awk -v t="$1" -v m="$2" -v l="$3" -v u="$4" -v why="${5:-}" 'BEGIN {
    if (m <= l) printf "target %-50s %10.2f %s  met (limit %s)\n", t, m, u, l;
    else {
      printf "target %-50s %10.2f %s  short by %.2f %s (%.0f%% over)\n", t, m, u, m - l, u, (m / l - 1) * 100
      if (why != "") printf "  why: %s\n", why
    } }'
}
echo
if [ -n "${wallOf[100000]:-}" ]; then
  target "100,000 wells: wall time at most 4 s" "${wallOf[100000]}" 4 s
  ratio=$(awk -v w="${wallOf[100000]}" -v f="${floorOf[100000]}" 'BEGIN {print (f > 0 ? w / f : 0)}')
  target "100,000 wells: at most 6 times the copy floor" "$ratio" 6 x \
    "$(awk -v f="${floorOf[100000]}" -v u="${userOf[100000]}" 'BEGIN {
      printf "the floor was %.2f s; the run spent %.2f s of user time, most of it converting the outputs'"'"' numbers exactly as printf would (bench/README.md)", f, u }')"
fi
if [ -n "${peakKbOf[1000000]:-}" ]; then
  target "1,000,000 wells: peak memory at most 5 GB" \
    "$(awk -v k="${peakKbOf[1000000]}" 'BEGIN {print k / 1048576}')" 5 GB
  if [ -n "${perWell[100000]:-}" ]; then
    target "1,000,000 wells: time per well within 1.3 x 100,000's" \
      "$(awk -v a="${perWell[1000000]}" -v b="${perWell[100000]}" 'BEGIN {print a / b}')" 1.3 x \
      "$(awk -v u1="${userOf[1000000]}" -v u2="${userOf[100000]}" -v s1="${sysOf[1000000]}" \
        -v s2="${sysOf[100000]}" -v f1="${floorOf[1000000]}" -v f2="${floorOf[100000]}" 'BEGIN {
        printf "user time per well %.1f against %.1f us, but system time %.1f against %.2f s: the system hands out the larger run'"'"'s memory and page cache page by page (copy floor %.1f against %.2f s; bench/README.md)", u1 * 1e6 / 1000000, u2 * 1e6 / 100000, s1, s2, f1, f2 }')"
  fi
fi
if [ -n "${wallOf[nodal1000]:-}" ]; then
  target "nodal field of 1,000 wells: wall time at most 60 s" "${wallOf[nodal1000]}" 60 s
fi

# The time per well of the largest standard field against the smallest.
standard=()
for size in "${sizes[@]}"; do [[ $size == nodal* ]] || standard+=("$size"); done
[ ${#standard[@]} -ge 2 ] || exit $status
first=${standard[0]}
last=${standard[${#standard[@]} - 1]}
if [ -n "${perWell[$first]:-}" ] && [ -n "${perWell[$last]:-}" ] && [ "$first" != "$last" ]; then
  awk -v a="${perWell[$first]}" -v b="${perWell[$last]}" -v f="$first" -v l="$last" \
    'BEGIN {printf "time per well at %d wells / at %d wells: %.2f\n", l, f, b / a}'
fi
exit $status
