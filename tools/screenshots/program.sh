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

. "$(dirname "$0")/xvfb.sh"
start_xvfb 90 100 1280x900 "$program_dir"

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
