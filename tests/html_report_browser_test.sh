#!/usr/bin/env bash
# Writes the HTML report set of a small run and opens every page in a headless
# browser: every page must load, and every link must name a page of the set.
set -euo pipefail
engine="$1"
browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ]; then
  echo "chromium is not installed (make test installs it); skipping"
  exit 77
fi

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir -p "$dir/pages"
cat > "$dir/run.ba" <<'INPUT'
#control
*period 20050101 20050103
*html pages/report.htm pages/
#end
#network
*Header "Browser <test> field & co"
*Methods *Welltest
*GC G1
TF T1
TF T2
*TF T1
Well W1
Well W2
*TF T2
Well W3
#end
#volume
*GC G1
*date oil gas
20050101 300 90
20050102 310 95
20050103 305 92
*TF T1
*date oil gas
20050101 200 60
20050102 205 62
20050103 200 61
*TF T2
*date oil gas
20050101 100 30
20050102 104 32
20050103 103 31
#end
#welltest
*date oil gor
*Well W1
20041201 120 300
*Well W2
20041201 80 300
*Well W3
20041201 100 300
#end
INPUT

(cd "$dir" && "$engine" run.ba)

pages=("$dir"/pages/*.htm)
[ "${#pages[@]}" -ge 9 ] || { echo "expected at least 9 pages, found ${#pages[@]}"; exit 1; }

status=0
for page in "${pages[@]}"; do
  dom=$("$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$dir/profile" --dump-dom "file://$page" 2>/dev/null || true)
  if ! grep -qi "<html" <<<"$dom"; then
    echo "page did not load: $(basename "$page")"
    status=1
  fi
  # Every link, frame source and target page must exist beside the page.
  for target in $(grep -oiE '(href|src)="?[^" >]+' "$page" | sed -E 's/^[^=]*="?//'); do
    if [ ! -f "$dir/pages/$target" ]; then
      echo "$(basename "$page") links to a missing page: $target"
      status=1
    fi
  done
done
exit $status
