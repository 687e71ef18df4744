#!/bin/sh
# Starts Asmora under a virtual X server in a fresh program folder and saves PNG
# screenshots: the first-run message, then the main window of the second start.
#   tools/screenshots/program.sh [output folder] [arguments for the second start...]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-"$root/.build/screenshots"}
[ $# -gt 0 ] && shift
mkdir -p "$out"
program_dir=$(mktemp -d /tmp/asmora-shot.XXXXXX)
cp "$root/.build/program/asmora" "$program_dir/"

display=:$(( 90 + $$ % 100 ))
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$program_dir"' EXIT
sleep 1
export DISPLAY="$display"

"$program_dir/asmora" & pid=$!
sleep 6
import -window root "$out/first-run.png"
kill $pid 2>/dev/null || true
wait $pid 2>/dev/null || true

"$program_dir/asmora" "$@" & pid=$!
sleep 8
import -window root "$out/main-window.png"
kill $pid 2>/dev/null || true
wait $pid 2>/dev/null || true
echo "screenshots in $out"
