# Drops a file from another program onto the page shown: it becomes the current page, under the
# name stored on disk (the drop names it in other letter cases, which only Velmo resolves).
source "$E2E_DIR/lib.sh"

install=$(new_install)
pages=$(mktemp -d "${TMPDIR:-/tmp}/velmo-pages.XXXXXX")
printf '<html><body><h1>Premi\xc3\xa8re</h1></body></html>' >"$pages/first.htm"
printf '<html><body><h1>D\xc3\xa9pos\xc3\xa9e</h1></body></html>' >"$pages/Dropped.HTM"

start_velmo "$install" "$pages/first.htm"
window=$(wait_window "^$pages/first.htm\$")
xdotool windowmove --sync "$window" 0 0
"$VELMO_DRAG_SOURCE" "$pages/DROPPED.htm" >/dev/null 2>&1 &
source_window=$(wait_window '^drag-source$')
xdotool windowmove --sync "$source_window" 1000 0
# Press on the source, then travel over the page and let go there. A drag the X server loses
# under load is tried again.
dropped=""
for _ in 1 2 3; do
    sleep 0.5
    xdotool mousemove --sync 1100 100 mousedown 1
    for point in "1090 110" "800 300" "400 300" "320 280"; do
        xdotool mousemove --sync $point
        sleep 0.2
    done
    xdotool mouseup 1
    for _ in $(seq 50); do
        dropped=$(xdotool search --name "^$pages/Dropped.HTM\$" 2>/dev/null || true)
        [ -n "$dropped" ] && break 2
        sleep 0.1
    done
done
[ -n "$dropped" ] || fail "la page déposée n'est pas devenue la page courante"
keys "$window" alt+q
wait_exit
rm -rf "$install" "$pages"
echo "réussi"
