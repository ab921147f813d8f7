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
dragpid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; [ -n "$dragpid" ] && kill "$dragpid" 2>/dev/null; rm -rf "$work"' EXIT
. scripts/xdrop.sh
cc -O2 -o "$work/changeprobe" scripts/changeprobe.c -lX11
mkdir -p "$work/home"
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" "$build/app/Glyphcraft" >"$work/log" 2>&1 &
pid=$!
window=$(xdotool search --sync --onlyvisible --pid "$pid" --name '^Glyphcraft$' | head -1)
start_dragsource "$work"
sleep 2
drop_on "$window" "$picture"
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
