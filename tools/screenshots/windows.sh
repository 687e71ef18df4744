#!/bin/sh
# Screenshots of the splash, the about window, the help viewer, and the main window
# (once with a message box beside it, once with its skin menu open) in each of the ten skins and with
# skins off, taken on a virtual X server.
#   tools/screenshots/windows.sh <build folder> [output folder]
# The build folder must hold the driver: cmake --build <build folder> --target asmora_window_shots.
set -eu
build=${1:?usage: windows.sh <build folder> [output folder]}
out=${2:-"$build/skin-screenshots"}
driver="$build/tools/screenshots/asmora_window_shots"
[ -x "$driver" ] || { echo "missing $driver: run 'cmake --build $build --target asmora_window_shots'" >&2; exit 1; }
mkdir -p "$out"

. "$(dirname "$0")/xvfb.sh"
start_xvfb 110 100 1280x800

# shot <file> <driver arguments...>
shot() {
  name=$1
  shift
  "$driver" "$@" & pid=$!
  sleep 2
  import -window root "$out/$name.png"
  kill $pid 2>/dev/null || true
  wait $pid 2>/dev/null || true
}

shot splash splash
shot about about
shot help help
shot main-off main off
shot menu-off menu off
index=0
for skin in ClearBlue GNOME-Green LunaBlue Royale1-HOMESTEAD Vista \
            GUIRelax-CINDER RoueGrey-SLIM RoyaleGlass-INDIGO ClearLooks-HUMAN Extensis-COPPER; do
  shot "main-$index-$skin" main $index
  shot "menu-$index-$skin" menu $index
  index=$((index + 1))
done
echo "screenshots in $out"
