#!/usr/bin/env bash
# A real drag between two processes under a private X server: the source program drags what a
# browser offers (a link as uri-list and x-moz-url), plain text or a local file; the pointer is
# moved with XTest (xdotool) onto the text field inside the receiver's link drop box. The link must
# arrive exactly once; text and files must be refused. Skips (77) without Xvfb or xdotool.
#
# Usage: real_drag.sh <receiver> <source>
set -u
receiver=$1
source=$2
command -v Xvfb > /dev/null && command -v xdotool > /dev/null || { echo "Xvfb or xdotool missing"; exit 77; }

work=$(mktemp -d)
exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb=$!
exec 3>&-
cleanup() {
    kill "$xvfb" 2> /dev/null
    wait "$xvfb" 2> /dev/null
    rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb
unset QT_QPA_PLATFORMTHEME

# Waits up to 15 s for a line in a file.
waitFor() {
    for _ in $(seq 1 150); do grep -q "$2" "$1" 2> /dev/null && return 0; sleep 0.1; done
    return 1
}

# drag <kind> <expect-link: yes|no>
drag() {
    local kind=$1 expected=$2
    : > "$work/receiver.out"
    : > "$work/source.out"
    "$receiver" 30 > "$work/receiver.out" 2> "$work/receiver.err" &
    local rpid=$!
    "$source" "$kind" > "$work/source.out" 2> "$work/source.err" &
    local spid=$!
    waitFor "$work/receiver.out" ready || { echo "$kind: the receiver did not come up"; cat "$work/receiver.err"; return 1; }
    eval "$(xdotool search --sync --name '^Window$' getwindowgeometry --shell | head -4)"
    local tx=$((X + 150)) ty=$((Y + 20))
    xdotool search --sync --name '^gui_link_drag_source$' > /dev/null
    xdotool mousemove --sync 600 100 mousedown 1
    local f
    for f in 1 2 3 4 5 6; do
        xdotool mousemove $((600 + (tx - 600) * f / 6)) $((100 + (ty - 100) * f / 6))
        sleep 0.1
    done
    xdotool mousemove $tx $ty
    if [ "$expected" = yes ]; then
        waitFor "$work/source.out" 'answer: [1-9]' || { echo "$kind: the target never accepted"; }
    else
        sleep 1
    fi
    xdotool mouseup 1
    local ok=0
    if [ "$expected" = yes ]; then
        waitFor "$work/receiver.out" '^link: ' || { echo "$kind: no link arrived"; ok=1; }
        local got
        got=$(grep '^link: ' "$work/receiver.out")
        if [ "$got" != "link: https://www.example.org/watch?v=dragged&t=42" ]; then
            echo "$kind: wrong link: $got"
            ok=1
        fi
        grep -q 'action: 4' "$work/source.out" || { echo "$kind: not the link action: $(cat "$work/source.out")"; ok=1; }
    else
        waitFor "$work/source.out" '^action: ' > /dev/null
        sleep 0.5
        if grep -q '^link: ' "$work/receiver.out"; then
            echo "$kind: taken although it is no link: $(cat "$work/receiver.out")"
            ok=1
        fi
        grep -q 'action: 0' "$work/source.out" || { echo "$kind: not refused: $(cat "$work/source.out")"; ok=1; }
    fi
    kill "$rpid" "$spid" 2> /dev/null
    wait "$rpid" "$spid" 2> /dev/null
    [ $ok = 0 ] && echo "$kind: ok"
    return $ok
}

status=0
drag urls yes || status=1
drag text no || status=1
drag file no || status=1
exit $status
