#!/usr/bin/env bash
# The outputs of a run do not depend on its threads: ba-engine on the bundled
# example, a generated field and a generated nodal field, once on one thread
# (ZELBA_THREADS=1) and once on four, must write the same bytes: report,
# totals, load file, JSON results and diagnostics.
#
#   threads_outputs_test.sh BA_ENGINE MAKE_FIELD EXAMPLE
set -euo pipefail
engine=$1
make_field=$2
example=$3

work=$(mktemp -d "${TMPDIR:-/tmp}/zelba-threads.XXXXXX")
trap 'rm -rf "$work"' EXIT

cp "$example" "$work/example.ba"
# 2,000 wells: the writers format about 35 runs of pages apart.
"$make_field" 2000 11 "$work/field.ba"
# 24 nodal wells, two or three of them without a nodal rate.
"$make_field" 24 5 "$work/nodal.ba" nodal

status=0
for input in example field nodal; do
  for threads in 1 4; do
    dir=$work/$input-$threads
    mkdir -p "$dir"
    cp "$work/$input.ba" "$dir/"
    rc=0
    (cd "$dir" && ZELBA_THREADS=$threads "$engine" --quiet --json results.json \
      --diagnostics diagnostics.txt "$input.ba") || rc=$?
    echo "$rc" >"$dir/exit-status"
  done
  one=$work/$input-1
  four=$work/$input-4
  files=$(cd "$one" && ls)
  if [ "$(cd "$four" && ls)" != "$files" ]; then
    echo "$input: the runs wrote different files" >&2
    status=1
    continue
  fi
  for file in $files; do
    if ! cmp "$one/$file" "$four/$file"; then
      echo "$input: $file differs between 1 and 4 threads" >&2
      status=1
    fi
  done
  # The runs must have written the input's outputs, not merely failed alike.
  count=$(ls "$one" | wc -l)
  if [ "$count" -lt 6 ]; then
    echo "$input: only $count files written" >&2
    status=1
  fi
done
exit $status
