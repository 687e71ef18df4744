# Sourced by the screenshot scripts: starts a virtual X server and points DISPLAY at
# it; on exit the server stops and the given folder, if any, is removed.
#   . "$(dirname "$0")/xvfb.sh"
#   start_xvfb <first display number> <how many to choose from> <width>x<height> [folder]
# The display number is chosen by the process id, so scripts running side by side
# take different displays.
start_xvfb() {
  display=:$(( $1 + $$ % $2 ))
  Xvfb "$display" -screen 0 "$3x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  scratch=${4:-}
  trap 'kill $xvfb 2>/dev/null; [ -z "$scratch" ] || rm -rf "$scratch"' EXIT
  sleep 1
  export DISPLAY="$display"
}
