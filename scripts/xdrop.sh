# Sourced by the scripts that drive the program on an X display: drops of a
# local file from a window of scripts/dragsource.cpp.
#   start_dragsource WORK-DIR     builds and shows it; sets dragwin and dragpid
#   drop_on WINDOW FILE           drags FILE onto the drop area of the
#                                 program's WINDOW; sets released to the time
#                                 of the release (date +%s%N)
start_dragsource() {
    g++ -fPIC -O1 -o "$1/dragsource" scripts/dragsource.cpp $(pkg-config --cflags --libs Qt5Widgets)
    dragfile=$1/dragpath
    : >"$dragfile"
    "$1/dragsource" "$dragfile" >/dev/null 2>&1 &
    dragpid=$!
    dragwin=$(xdotool search --sync --onlyvisible --name '^dragsource$' | head -1)
}
drop_on() {
    echo "$2" >"$dragfile"
    xdotool mousemove --window "$dragwin" 75 75 mousedown 1
    sleep 0.2
    eval "$(xdotool getwindowgeometry --shell "$1")"
    for step in 400 200 100 40 10 0; do
        xdotool mousemove $((X + 142 + step)) $((Y + 200))
        sleep 0.03
    done
    xdotool mouseup 1
    released=$(date +%s%N)
}
