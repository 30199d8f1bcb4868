#!/usr/bin/env bash
# Runs an end-to-end test script in a private X server (and, with --wm, under a window manager).
# Usage: run-in-x.sh [--wm] PROGRAM SCRIPT
# Exits 77 (skipped) when a tool it needs is not installed.
set -euo pipefail
wm=false
if [ "${1:-}" = --wm ]; then
    wm=true
    shift
fi
export VELMO_PROGRAM=$1
script=$2
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool manque (paquets xvfb, xdotool)"; exit 77; }
done
if $wm && ! { command -v openbox && command -v xprop; } >/dev/null; then
    echo "SKIP: openbox ou xprop manque (paquets openbox, x11-utils)"
    exit 77
fi

# Xvfb picks a free display itself and writes its number: two tests starting at once never clash.
numberFile=$(mktemp)
# -noreset: the server would reset each time its last client leaves, and refuse the next one meanwhile.
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$numberFile" >/dev/null 2>&1 &
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -f "$numberFile"' EXIT
for _ in $(seq 100); do
    [ -s "$numberFile" ] && break
    sleep 0.05
done
[ -s "$numberFile" ] || { echo "ÉCHEC : Xvfb ne démarre pas" >&2; exit 1; }
display=":$(tr -d '[:space:]' <"$numberFile")"
export DISPLAY=$display
for _ in $(seq 50); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "ÉCHEC : Xvfb ne démarre pas" >&2; exit 1; }
# The first key sent to a new server changes its keyboard map, and a window manager running then
# takes its key bindings again meanwhile: a key that nothing acts on, sent now, loses no test key.
xdotool key shift
if $wm; then
    openbox >/dev/null 2>&1 &
    # Keys like Alt+F4 reach the window manager only once it manages the screen.
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
    done
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
        { echo "ÉCHEC : openbox ne démarre pas" >&2; exit 1; }
fi
export E2E_DIR
E2E_DIR=$(cd "$(dirname "$script")" && pwd)
bash "$script"
