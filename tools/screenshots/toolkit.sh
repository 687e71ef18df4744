#!/bin/sh
# Screenshots of the tool kit's own windows under a virtual X server: the console
# host running the default console template, and the debugger front end on a
# small program (assembled by GNU as, linked by our link.exe).
#   tools/screenshots/toolkit.sh <build folder> [output folder]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:?usage: toolkit.sh <build folder> [output folder]}
out=${2:-"$build/screenshots"}
tools="$build/toolkit-out"
mkdir -p "$out"
work=$(mktemp -d /tmp/asmora-toolkit-shot.XXXXXX)

. "$(dirname "$0")/xvfb.sh"
start_xvfb 150 100 1280x1024 "$work"

# The console window: the default template with a program line that prints a line.
sed 's|^%FILENAME%\r$|"/usr/bin/printf" "hello from the program\\n"\r|' \
  "$root/tests/toolkit/console/data/default-template.bat" > "$work/ml.bat"
xterm -maximized -u8 -cjk_width -fa 'DejaVu Sans Mono' -fd 'WenQuanYi Micro Hei Mono:matrix=1.204 0 0 1' -fs 12 \
  -bg black -fg white -T ml.bat \
  -e "$build/toolkit/console/console_host_run" --console-host "$work/ml.bat" & console=$!
sleep 3
import -window root "$out/console-template.png"
kill $console 2>/dev/null || true

# The debugger window, stopped at the entry of a program that reads a line.
cat > "$work/echo.s" <<'ASM'
.intel_syntax noprefix
.data
prompt: .ascii "Enter: "
buffer: .space 64
.text
.globl _start
_start:
  mov eax, 4
  mov ebx, 1
  lea ecx, prompt
  mov edx, 7
  int 0x80
  mov eax, 3
  mov ebx, 0
  lea ecx, buffer
  mov edx, 64
  int 0x80
  mov eax, 1
  mov ebx, 0
  int 0x80
ASM
as --32 -g "$work/echo.s" -o "$work/echo.obj"
"$tools/link.exe" /nologo /debug /entry:start "/out:$work/echo.exe" "$work/echo.obj"
"$tools/windbg.exe" -a -i "$work/echo.exe" & debugger=$!
sleep 6
import -window root "$out/debugger.png"
kill $debugger 2>/dev/null || true
echo "screenshots in $out"
