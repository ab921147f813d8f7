#!/usr/bin/env bash
# Drives the real program on an X display that has a window manager: drops a
# picture (through scripts/dragsource.cpp), holds Down for 2 s in the Resize
# number box and prints when the picture tab's size caption changed
# (scripts/changeprobe.c) and the longest time it stood still meanwhile.
# Run by hand after building, for example:
#   Xvfb :41 -screen 0 1280x1024x24 & DISPLAY=:41 openbox &
#   build/bench/photo_file 6000x4000 1 /tmp/p24.jpg
#   DISPLAY=:41 scripts/heldkeyfollow.sh build /tmp/p24.jpg
# The coordinates assume the window's layout once a picture is shown.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
picture=$2
work=$(mktemp -d)
pid=
source=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; [ -n "$source" ] && kill "$source" 2>/dev/null; rm -rf "$work"' EXIT
g++ -fPIC -O1 -o "$work/dragsource" scripts/dragsource.cpp $(pkg-config --cflags --libs Qt5Widgets)
cc -O2 -o "$work/changeprobe" scripts/changeprobe.c -lX11
mkdir -p "$work/home"
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" "$build/app/Glyphcraft" >"$work/log" 2>&1 &
pid=$!
window=$(xdotool search --sync --onlyvisible --pid "$pid" --name '^Glyphcraft$' | head -1)
echo "$picture" >"$work/dragpath"
"$work/dragsource" "$work/dragpath" >/dev/null 2>&1 &
source=$!
dragwin=$(xdotool search --sync --onlyvisible --name '^dragsource$' | head -1)
sleep 2

xdotool mousemove --window "$dragwin" 75 75 mousedown 1
sleep 0.2
eval "$(xdotool getwindowgeometry --shell "$window")"
for step in 400 200 100 40 10 0; do
    xdotool mousemove $((X + 142 + step)) $((Y + 200))
    sleep 0.03
done
xdotool mouseup 1
sleep 6
xdotool mousemove --window "$window" 235 467 click 1
sleep 1
"$work/changeprobe" "$window" 497 520 100 30 3 >"$work/changes" &
probe=$!
sleep 0.2
xdotool keydown Down
sleep 2
xdotool keyup Down
wait "$probe"
echo "caption changes (ms from 0.2 s before the key went down):"
cat "$work/changes"
