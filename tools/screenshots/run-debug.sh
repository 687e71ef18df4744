#!/bin/sh
# Drives the real program under a virtual X server through the student's road with
# a course program: assemble (F4), link (F5), run (F6) with typed input, then debug
# (F7) with two F10 steps and input typed into the program's console. Saves a PNG
# screenshot after each step. ASMORA_I386=emulated in the environment takes the
# qemu-i386 way even on a machine that runs i386 programs.
#   tools/screenshots/run-debug.sh [output folder]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-"$root/.build/screenshots/run-debug"}
mkdir -p "$out"
program_dir=$(mktemp -d /tmp/asmora-run-debug.XXXXXX)
cp "$root/.build/program/asmora" "$program_dir/"
mkdir -p "$program_dir/my src"
cp "$root/tests/e2e/programs/sum.asm" "$program_dir/my src/"

. "$(dirname "$0")/xvfb.sh"
start_xvfb 190 50 1280x900 "$program_dir"

shot() { import -window root "$out/$1.png"; }
# Without a window manager, keys go to the window that has the input focus.
focus() { xdotool windowfocus "$(xdotool search --name "$1" | head -1)"; sleep 0.5; }
focusMain() { xdotool windowfocus "$(xdotool search --pid "$pid" --onlyvisible | head -1)"; sleep 0.5; }
typeLine() { xdotool type --delay 80 "$1"; xdotool key Return; }

# The first start writes SciLexer.dll and asks for a restart.
"$program_dir/asmora" & pid=$!
sleep 5; kill $pid; wait $pid 2>/dev/null || true

"$program_dir/asmora" "$program_dir/my src/sum.asm" & pid=$!
sleep 7
shot 1-start
focusMain
xdotool key F4; sleep 3
xdotool key F5; sleep 3
shot 2-built
xdotool key F6; sleep 4
focus "ml.bat"
typeLine 3; sleep 1; typeLine 4; sleep 3
shot 3-run
xdotool key space; sleep 2

focusMain
xdotool key F7; sleep 3
shot 4-debug-tips
xdotool key Return; sleep 8
shot 5-debug-entry
focus "WinDbg"
xdotool key F10; sleep 3
xdotool key F10; sleep 3
shot 6-debug-waits-for-input
focus "程序窗口"
typeLine 5; sleep 3
shot 7-debug-after-input
focus "WinDbg"
typeLine quit; sleep 3
pgrep -a qemu-i386 > "$out/left-running.txt" || true
kill $pid 2>/dev/null || true
wait $pid 2>/dev/null || true
echo "screenshots in $out"
