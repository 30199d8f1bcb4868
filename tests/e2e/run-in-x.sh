#!/usr/bin/env bash
# Runs an end-to-end test script in a private X server (and, with --wm, under a window manager).
# Usage: run-in-x.sh [--wm] PROGRAM SCRIPT
# Exits 77 (skipped) when no X server can be started here.
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
if $wm && ! command -v openbox >/dev/null; then
    echo "SKIP: openbox manque"
    exit 77
fi

display=""
for number in $(seq 90 140); do
    if [ ! -e "/tmp/.X$number-lock" ] && [ ! -e "/tmp/.X11-unix/X$number" ]; then
        display=":$number"
        break
    fi
done
[ -n "$display" ] || { echo "SKIP: aucun numéro d'écran libre"; exit 77; }
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true' EXIT
export DISPLAY=$display
for _ in $(seq 50); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "SKIP: Xvfb ne démarre pas"; exit 77; }
if $wm; then
    openbox >/dev/null 2>&1 &
    sleep 1
fi
export E2E_DIR
E2E_DIR=$(cd "$(dirname "$script")" && pwd)
bash "$script"
