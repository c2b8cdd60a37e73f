#!/usr/bin/env bash
# Opens the dashboard of the example field and of a 10,000-well field in a
# headless browser. The page checks itself when its address ends in
# "#selftest=WELL" (a chart drawn for a point, the well found through the
# search box and its charts drawn, no network request, no script error) and
# writes the outcome into the page, read here from the dumped DOM; the
# browser's log must hold no console message (errors, refused requests).
# A screenshot of each page is left in the current directory.
#
#   dashboard_browser_test.sh BA_ENGINE MAKE_FIELD EXAMPLE_INPUT
set -euo pipefail
engine="$1"
make_field="$2"
example="$3"
browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ]; then
  echo "chromium is not installed (make test installs it); skipping"
  exit 77
fi
shots=$PWD

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

# Any host name resolves to nothing: a request that got past the page's
# policy would fail here rather than leave the machine.
run_browser() {
  "$browser" --headless=new --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --host-resolver-rules="MAP * ~NOTFOUND" --user-data-dir="$dir/profile" "$@"
}

status=0

# check NAME PAGE WELL: the page's self-test passes and the log is clean.
check() {
  local name="$1" page="$2" well="$3"
  run_browser --enable-logging=stderr --v=0 --virtual-time-budget=30000 \
    --dump-dom "file://$page#selftest=$well" >"$dir/$name.dom" 2>"$dir/$name.log" || true
  local result
  result=$(sed -n '/<pre id="selftest">/,/<\/pre>/p' "$dir/$name.dom")
  if ! grep -q 'SELFTEST PASS' <<<"$result"; then
    echo "$name: the page's self-test did not pass:"
    echo "${result:-(no result in the page)}"
    status=1
  fi
  if grep -q ':CONSOLE' "$dir/$name.log"; then
    echo "$name: the page wrote to the console:"
    grep ':CONSOLE' "$dir/$name.log" | head -20
    status=1
  fi
  run_browser --screenshot="$shots/dashboard_$name.png" --window-size=1400,1000 \
    "file://$page#w/0" >/dev/null 2>&1 || true
  if [ ! -s "$shots/dashboard_$name.png" ]; then
    echo "$name: no screenshot taken"
    status=1
  fi
}

mkdir -p "$dir/example" "$dir/plain" "$dir/field"
(cd "$dir/example" && "$engine" --quiet --dashboard dash.html "$example")
# The outputs the input names are the same bytes with and without the page.
(cd "$dir/plain" && "$engine" --quiet "$example")
for output in north_field.prn north_field_totals.txt north_field_load.txt; do
  if ! cmp -s "$dir/plain/$output" "$dir/example/$output"; then
    echo "$output differs with --dashboard"
    status=1
  fi
done
# N-21 changes its point of measurement in the middle of the month.
check example "$dir/example/dash.html" N-21

(cd "$dir/field" && "$make_field" 10000 7 field.ba >/dev/null &&
  "$engine" --quiet --dashboard dash.html field.ba)
size=$(stat -c %s "$dir/field/dash.html")
if [ "$size" -gt $((10000 * 5 * 1024)) ]; then
  echo "the 10,000-well page takes $size bytes, more than 5 KB a well"
  status=1
fi
check field "$dir/field/dash.html" W04567

[ $status -eq 0 ] && echo "dashboard pages passed in the browser"
exit $status
