# Maximized, quit, started again: the window comes back maximized, and brought back from maximized
# it takes a usable part of the screen, not the few pixels of a window never sized.
source "$E2E_DIR/lib.sh"

install=$(new_install)
pages=$(mktemp -d "${TMPDIR:-/tmp}/velmo-pages.XXXXXX")
printf '<html><body><h1>Bonjour</h1></body></html>' >"$pages/page.htm"

# toggle_maximized WINDOW: a double click on the title bar, which maximizes or restores it.
toggle_maximized() {
    local x y
    x=$(xwininfo -id "$1" | sed -n 's/^ *Absolute upper-left X: *//p')
    y=$(xwininfo -id "$1" | sed -n 's/^ *Absolute upper-left Y: *//p')
    xdotool mousemove --sync $((x + 100)) $((y - 10)) click --repeat 2 --delay 100 1
}

# wait_maximized WINDOW yes|no: waits until the window is maximized, or is not.
wait_maximized() {
    local state now
    for _ in $(seq 50); do
        state=$(xprop -id "$1" _NET_WM_STATE)
        now=no
        grep -q MAXIMIZED_HORZ <<<"$state" && now=yes
        [ "$now" = "$2" ] && return 0
        sleep 0.1
    done
    fail "état agrandi inattendu (attendu : $2) : $state"
}

start_velmo "$install" "$pages/page.htm"
window=$(wait_window "^$pages/page.htm\$")
toggle_maximized "$window"
wait_maximized "$window" yes
keys "$window" alt+q
wait_exit
[ "$(ini_value "$install/velmo.INI" 'Affichage plein écran')" = 1 ] || fail "l'état agrandi n'est pas retenu"

start_velmo "$install" "$pages/page.htm"
window=$(wait_window "^$pages/page.htm\$")
wait_maximized "$window" yes
toggle_maximized "$window"
wait_maximized "$window" no
read -r screen_width screen_height < <(xdotool getdisplaygeometry)
width=$(xwininfo -id "$window" | sed -n 's/^ *Width: *//p')
height=$(xwininfo -id "$window" | sed -n 's/^ *Height: *//p')
[ "$((width * 2))" -ge "$screen_width" ] && [ "$((height * 2))" -ge "$screen_height" ] ||
    fail "fenêtre rendue trop petite : ${width}x$height sur un écran de ${screen_width}x$screen_height"
keys "$window" alt+q
wait_exit
rm -rf "$install" "$pages"
echo "réussi"
