# Finds a page of the folder by a word of its title and opens it, renames it after its title and
# takes that back, all from the keyboard; from the folder's listing, the next page is its first.
source "$E2E_DIR/lib.sh"

install=$(new_install)
work="$HOME/e2e-titles"
trash="${XDG_DATA_HOME:-$HOME/.local/share}/Trash"
rm -rf "$work"
mkdir -p "$work"
printf '<html><title>Accueil</title><body>A</body></html>' >"$work/a.htm"
printf '<html><meta charset="utf-8"><title>L’Église : « le village »</title><body>B</body></html>' >"$work/b.htm"
printf '<html><title>Recettes</title><body>C</body></html>' >"$work/c.htm"

start_velmo "$install" "$work/a.htm"
window=$(wait_window "^$work/a.htm\$")

keys "$window" ctrl+l
sleep 0.5
type_text "$window" eglise
keys "$window" Return
wait_window "^$work/b.htm\$" >/dev/null

keys "$window" ctrl+shift+n
dialog=$(wait_window '^Nouveau nom de b\.htm$')
keys "$dialog" Return
renamed="L’Église « le village ».htm"
wait_window "^$work/$renamed\$" >/dev/null
[ -f "$work/$renamed" ] && [ ! -e "$work/b.htm" ] || fail "renommage d'après le titre non fait : $(ls "$work")"

keys "$window" ctrl+z
wait_window "^$work/b.htm\$" >/dev/null
[ -f "$work/b.htm" ] && [ ! -e "$work/$renamed" ] || fail "renommage non repris : $(ls "$work")"

keys "$window" alt+q
wait_exit

# The folder itself: its listing, then its first page.
start_velmo "$install" "$work"
window=$(wait_window "^$work\$")
sleep 1
keys "$window" ctrl+Page_Down
wait_window "^$work/a.htm\$" >/dev/null
keys "$window" alt+q
wait_exit
rm -rf "$install" "$work" "$trash"
echo "réussi"
