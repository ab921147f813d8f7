#!/usr/bin/env bash
# Drives the real program on an X display that has a window manager and
# checks what Copy, Show and Save on the CSS tab carry when clicked (through
# their mnemonics) 0, 50, 100 and 300 ms after a change: one Down key in the
# Resize number box, digits typed there, a wheel step on the Resize slider,
# the format changed from the keyboard, a picture dropped. Each export is
# compared with a Copy made once everything has settled: "ok" when it carries
# the same text, "STALE" when it carries another one (the size and format
# word of both are shown). Show goes to a stand-in opener on PATH that keeps
# the page it is asked to open; drops come from scripts/dragsource.cpp (the
# time of a drop counts from the release of the drag).
# Run by hand after building, for example:
#   Xvfb :41 -screen 0 1280x1024x24 & DISPLAY=:41 openbox &
#   build/bench/photo_file 4000x3000 1 /tmp/a.jpg; build/bench/photo_file 2000x1500 1 /tmp/b.jpg
#   DISPLAY=:41 scripts/exportafterchange.sh build /tmp/a.jpg /tmp/b.jpg
# WAYS, ACTIONS, DELAYS and SETTLE (seconds) narrow or lengthen the run.
# The coordinates assume the window's layout once a picture is shown.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
first=$2
second=$3
ways=${WAYS:-"copy show save"}
actions=${ACTIONS:-"key digits wheel format drop"}
delays=${DELAYS:-"0 50 100 300"}
settle=${SETTLE:-4}
work=$(mktemp -d)
pid=
dragpid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; [ -n "$dragpid" ] && kill "$dragpid" 2>/dev/null; rm -rf "$work"' EXIT
. scripts/xdrop.sh
mkdir -p "$work/bin" "$work/home"
cat >"$work/bin/xdg-open" <<EOF
#!/bin/sh
cp "\${1#file://}" "$work/shown.tmp" && mv "$work/shown.tmp" "$work/shown.html"
EOF
chmod +x "$work/bin/xdg-open"

PATH="$work/bin:$PATH" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" \
    "$build/app/Glyphcraft" >"$work/log" 2>&1 &
pid=$!
window=$(xdotool search --sync --onlyvisible --pid "$pid" --name '^Glyphcraft$' | head -1)
start_dragsource "$work"
sleep 2

at() { xdotool mousemove --window "$window" "$1" "$2"; }
# Waits up to 30 s for a file to exist.
await() { for _ in $(seq 600); do [ -s "$1" ] && return 0; sleep 0.05; done; return 1; }
mark() { printf 'MARK' | xclip -selection clipboard -i; }
clip_to() {
    for _ in $(seq 600); do
        xclip -selection clipboard -o >"$1" 2>/dev/null || true
        [ "$(head -c 4 "$1")" != MARK ] && [ -s "$1" ] && return 0
        sleep 0.05
    done
    return 1
}
# Clears what an export leaves, before the change, so the export follows it at once.
prepare() {
    case $1 in
    copy) mark ;;
    show) rm -f "$work/shown.html" ;;
    save) rm -f "$work/saved.html" ;;
    esac
}
export_to() {
    case $1 in
    copy) xdotool key alt+c; clip_to "$2" ;;
    show) xdotool key alt+h; await "$work/shown.html"; mv "$work/shown.html" "$2" ;;
    save)
        xdotool key alt+s
        xdotool search --sync --onlyvisible --pid "$pid" --name '^Save As' >/dev/null
        sleep 0.2
        xdotool type --delay 2 "$work/saved.html"
        xdotool key Return
        await "$work/saved.html"; sleep 0.3; mv "$work/saved.html" "$2" ;;
    esac
}
describe() { printf '%s %s' "$(grep -o 'width:[0-9]*px;' "$1" | head -1)" "$(grep -o 'image/[a-z]*' "$1" | head -1)"; }

drop_on "$window" "$first"
sleep "$settle"
at 426 93; xdotool click 1   # the CSS tab
sleep "$settle"

flip=0
for action in $actions; do
    for delay in $delays; do
        for way in $ways; do
            flip=$((1 - flip))
            # Focus first, so the change itself is one event.
            case $action in
            key | digits | format) at 235 467; xdotool click 1; sleep 0.3 ;;
            wheel) at 167 467; sleep 0.3 ;;
            esac
            [ "$action" = format ] && { xdotool key Tab; sleep 0.3; }
            prepare "$way"
            pause=$(echo "$delay / 1000" | bc -l)
            start=$(date +%s%N)
            case $action in
            key) xdotool key Down ;;
            digits) xdotool key ctrl+a; xdotool type --delay 15 "$([ $flip = 1 ] && echo 55 || echo 70)" ;;
            wheel) xdotool click "$([ $flip = 1 ] && echo 5 || echo 4)" ;;
            format) xdotool key "$([ $flip = 1 ] && echo Down || echo Up)" ;;
            drop) drop_on "$window" "$([ $flip = 1 ] && echo "$second" || echo "$first")"; start=$released ;;
            esac
            sleep "$pause"
            # From the end of the change to the export's key going out.
            took=$((($(date +%s%N) - start) / 1000000))
            export_to "$way" "$work/out" || { echo "$action $delay ms $way: no export"; continue; }
            sleep "$settle"
            prepare copy
            export_to copy "$work/ref" || { echo "$action $delay ms $way: no settled copy"; continue; }
            if cmp -s "$work/out" "$work/ref"; then verdict=ok; else verdict=STALE; fi
            printf '%-7s %4s ms (%4s) %-5s %-6s got %s, settled %s\n' "$action" "$delay" "$took" "$way" "$verdict" \
                "$(describe "$work/out")" "$(describe "$work/ref")"
        done
    done
done
