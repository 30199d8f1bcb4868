#!/usr/bin/env bash
# Makes docs/screenshot.png: the built program, in a private X server with a window manager,
# showing the sample saved page of docs/exemple/ as a user keeps it, in
# /home/camille/Documents/Pages enregistrées/Cuisine/. That home is a tmpfs mounted on /home in a
# mount namespace of the script's own (a user namespace too, for an ordinary user), so nothing of
# the real /home is seen or touched. It builds nothing.
# Needs the Debian packages xvfb, xdotool, openbox and imagemagick (for "import"), and util-linux's
# unshare.
# Usage: packaging/screenshot.sh [PROGRAM]     (PROGRAM defaults to build/velmo)
set -euo pipefail
if [ -z "${VELMO_CAPTURE_NAMESPACE:-}" ]; then
    export VELMO_CAPTURE_NAMESPACE=1
    if [ "$(id -u)" -eq 0 ]; then
        exec unshare --mount --propagation private bash "$0" "$@"
    fi
    exec unshare --user --map-root-user --mount bash "$0" "$@"
fi
root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$root/build/velmo}")
output="$root/docs/screenshot.png"

fail() {
    echo "screenshot.sh : $*" >&2
    exit 1
}

[ -x "$program" ] || fail "pas de programme $program (construire d'abord : scripts/build.sh)"
for tool in Xvfb xdotool openbox import; do
    command -v "$tool" >/dev/null || fail "$tool manque (paquets xvfb xdotool openbox imagemagick)"
done

display=""
for number in $(seq 90 140); do
    if [ ! -e "/tmp/.X$number-lock" ] && [ ! -e "/tmp/.X11-unix/X$number" ]; then
        display=":$number"
        break
    fi
done
[ -n "$display" ] || fail "aucun numéro d'écran libre"

# The program keeps its settings beside itself: a copy in a folder of its own leaves the build's
# settings alone and is told to fill the screen (its frame adds 2 pixels across and 25 down under
# openbox).
work=$(mktemp -d "${TMPDIR:-/tmp}/velmo-capture.XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
cp "$program" "$work/velmo"
printf '[Configuration]\r\nLargeur=1022\r\nHauteur=615\r\nGauche=0\r\nHaut=0\r\n' >"$work/velmo.INI"
mount -t tmpfs -o mode=0755 velmo-capture /home || fail "impossible de monter un tmpfs sur /home"
home=/home/camille
pages="$home/Documents/Pages enregistrées/Cuisine"
mkdir -p "$pages" "$home/.config" "$home/.local/share" "$home/.cache"
cp -r "$root/docs/exemple/." "$pages/"
page="$pages/tarte-aux-pommes.htm"

Xvfb "$display" -screen 0 1024x640x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done
xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb ne démarre pas"
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

HOME="$home" XDG_DATA_HOME="$home/.local/share" XDG_CONFIG_HOME="$home/.config" \
    XDG_CACHE_HOME="$home/.cache" "$work/velmo" "$page" >"$work/output.txt" 2>&1 &
velmo=$!
pids+=("$velmo")
window=""
for _ in $(seq 150); do
    window=$(xdotool search --onlyvisible --name "^$page\$" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || fail "la fenêtre de Velmo n'affiche pas la page ($(cat "$work/output.txt"))"
# The title follows the load; give the engine a moment to paint the page and its picture.
sleep 2
import -window root "$output"
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
xdotool key --clearmodifiers alt+q
wait "$velmo" || true
echo "$output"
