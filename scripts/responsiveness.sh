#!/usr/bin/env bash
# Drives the real program on an X display that has a window manager and
# measures how long its window leaves messages unanswered
# (scripts/stallprobe.c asks every 3 ms after an answer): while a picture
# opened through the open dialog is read and shown, and while an arrow key is
# held for 2 s on the Resize slider; the peak memory is noted after the open
# and a visit of every tab, and at the end.
# Run by hand after building, for example:
#   Xvfb :16 -screen 0 1280x1024x24 & DISPLAY=:16 openbox &
#   build/bench/photo_file 4000x3000 1 /tmp/photo.jpg
#   DISPLAY=:16 scripts/responsiveness.sh build /tmp/photo.jpg
# The click assumes the window's first layout (the drop area's button).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
picture=$2
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
cc -O2 -o "$work/stallprobe" scripts/stallprobe.c -lX11

mkdir -p "$work/home"
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" "$build/app/Glyphcraft" >"$work/log" 2>&1 &
pid=$!
window=$(xdotool search --sync --onlyvisible --pid "$pid" --name '^Glyphcraft$' | head -1)
sleep 2
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }

# Open: the dialog is filled in, the probe starts, then Open is pressed.
click 47 315
xdotool search --sync --pid "$pid" --name 'Open the image' >/dev/null
sleep 1
xdotool type --delay 5 "$picture"
sleep 0.5
"$work/stallprobe" "$window" 500 300 8 >"$work/open" &
probe=$!
sleep 0.3
xdotool key Return
wait "$probe"
echo "open:      $(cat "$work/open")"

# Every tab shown in turn (the keyboard reaches the tab bar from the
# Brightness slider, which has the focus after an open), then the picture
# tab again; the peak memory so far.
sleep 3
xdotool key Tab Tab Tab Tab Tab Tab Tab
for tab in 1 2 3 4 5; do
    xdotool key Right
    sleep 3
done
echo "peak memory after open and every tab: $(grep VmHWM /proc/$pid/status | tr -s ' ' | cut -d' ' -f2-)"
xdotool key Left Left Left Left Left
sleep 2

# An arrow key held on the Resize slider for 2 s; back from the tab bar.
xdotool key shift+Tab shift+Tab shift+Tab
sleep 1
"$work/stallprobe" "$window" 500 300 6 >"$work/hold" &
probe=$!
sleep 0.3
xdotool keydown Down
sleep 2
xdotool keyup Down
wait "$probe"
echo "held key:  $(cat "$work/hold")"
sleep 2
[ -n "${SHOT:-}" ] && xwd -root -silent >"$SHOT"
echo "peak memory at the end: $(grep VmHWM /proc/$pid/status | tr -s ' ' | cut -d' ' -f2-)"
