#!/usr/bin/env bash
# ba-setup on a virtual display: the sheet opens on a record file over the
# demo database, Escape closes it, the file is left as it was and the exit
# status is 1. Skipped (77) where Xvfb or xdotool is missing.
#   ba_setup_xvfb_test.sh BA_SETUP ZELBA_HOSTDB
set -u
setup=$1
hostdb=$2
command -v xvfb-run >/dev/null && command -v xdotool >/dev/null || exit 77
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$hostdb" demo "$dir/demo.db" >/dev/null || exit 1
head -c 3100 /dev/urandom > "$dir/record.bin"
cp "$dir/record.bin" "$dir/before.bin"

cat > "$dir/run.sh" <<'INNER'
#!/usr/bin/env bash
unset QT_QPA_PLATFORM
"$1" "$2" &
pid=$!
# The sheet's window, then Escape to it.
window=$(xdotool search --sync --onlyvisible --name "Back Allocation Setup" 2>/dev/null | head -1)
if [ -z "$window" ]; then kill $pid; exit 3; fi
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
sleep 0.5
xdotool key --window "$window" Escape
wait $pid
INNER
chmod +x "$dir/run.sh"
ZELBA_HOST_DB="$dir/demo.db" timeout 60 xvfb-run -a "$dir/run.sh" "$setup" "$dir/record.bin"
status=$?
if [ $status -ne 1 ]; then
  echo "ba-setup exited $status after Escape (expected 1)"
  exit 1
fi
if ! cmp -s "$dir/record.bin" "$dir/before.bin"; then
  echo "the record file changed after Escape"
  exit 1
fi
echo "Escape left the record unchanged, exit status 1"
