#!/bin/sh
# Runs read_room_panel.py against the editor on the demo game, on a display of its own (Xvfb)
# inside a D-Bus session of its own, as a screen reader would meet it:
#   run_in_session.sh EDITOR CORVTOOL
# Exit 77 (skipped) on a machine without Xvfb, a D-Bus session launcher, the AT-SPI bus or the
# Python binding; install them with scripts/install-deps.sh.
set -u
editor=$1
corvtool=$2
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3
[ -x "$python" ] || python=python3
for tool in Xvfb dbus-run-session; do
  command -v "$tool" >/dev/null 2>&1 || { echo "no $tool: skipped"; exit 77; }
done
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "no AT-SPI bus (at-spi2-core): skipped"; exit 77; }
"$python" -c 'import pyatspi' 2>/dev/null || { echo "no python3-pyatspi: skipped"; exit 77; }

work=$(mktemp -d)
xvfb_pid=
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
"$corvtool" make-demo "$work/demo" >/dev/null || exit 1

# The server picks a free display number and writes it to the pipe.
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
read -r number <"$work/display"
[ -n "$number" ] || { echo "Xvfb did not start"; exit 1; }

# The suite runs the window tests on the offscreen platform, which has no accessibility bridge.
DISPLAY=":$number" QT_QPA_PLATFORM=xcb dbus-run-session -- "$python" "$here/read_room_panel.py" "$editor" \
  "$work/demo/corvane.smc" "$work/demo/corvane.txt"
