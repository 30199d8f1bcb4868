# The window at its first size, 640 by 480, too narrow for the menu on one row: the rename box
# shows the whole name, Alt+S (second row) puts the page in the trash and the blank view then says
# so, Alt+Q (second row) quits; on the next start Alt then the arrows go from row to row and reach
# "Quitter".
source "$E2E_DIR/lib.sh"

install=$(new_install)
work="$HOME/e2e-narrow-window"
trash="${XDG_DATA_HOME:-$HOME/.local/share}/Trash"
rm -rf "$work" "$trash"
mkdir -p "$work"
page="$work/Une recette de tarte aux pommes de ma grand-mère, version longue.htm"
printf '<html><body><h1>Tarte</h1></body></html>' >"$page"
printf '<html><body style="background: #222"><h1>Autre</h1></body></html>' >"$work/autre.htm"

start_velmo "$install" "$page"
window=$(wait_window "^$page\$")
geometry=$(xdotool getwindowgeometry "$window")
grep -q 'Geometry: 640x480' <<<"$geometry" || fail "taille de départ inattendue : $geometry"

# dark_pixels: the dark pixels of a band across the middle of the view.
dark_pixels() {
    "$VELMO_WINDOW_PIXELS" "$window" 0 200 640 100 2>/dev/null
}

keys "$window" alt+n
dialog=$(wait_window '^Nouveau nom de Une recette')
width=$(xdotool getwindowgeometry --shell "$dialog" | sed -n 's/^WIDTH=//p')
[ "$width" -ge 450 ] || fail "boîte de renommage trop étroite : $width px"
keys "$dialog" Escape
sleep 0.5

keys "$window" alt+s
for _ in $(seq 50); do [ ! -e "$page" ] && break; sleep 0.1; done
[ ! -e "$page" ] || fail "Alt+S n'a pas mis la page à la corbeille"
[ -f "$trash/files/$(basename "$page")" ] || fail "la page n'est pas dans la corbeille"
for _ in $(seq 50); do [ "$(dark_pixels)" -gt 0 ] && break; sleep 0.1; done
[ "$(dark_pixels)" -gt 0 ] || fail "la vue reste vide après « Supprimer »"
keys "$window" alt+q
wait_exit

start_velmo "$install" "$work/autre.htm"
window=$(wait_window "^$work/autre.htm\$")
# Once the page is drawn: the engine's widget, made as the page comes, takes the keyboard then.
for _ in $(seq 100); do [ "$(dark_pixels)" -gt 0 ] && break; sleep 0.1; done
# From "Ouvrir" back to "Quitter" on the last row, on to "Ouvrir" on the first, back again.
keys "$window" alt
# The bar takes the keyboard once Alt is let go; a loaded machine may take a moment.
sleep 0.5
xdotool key --delay 150 Left Right Left Return
wait_exit
rm -rf "$install" "$work" "$trash"
echo "réussi"
