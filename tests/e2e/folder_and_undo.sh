# Goes through a folder from the keyboard, forward and back, deletes a page, goes on, then takes
# the delete back with Ctrl+Z; in a text field of a page, Ctrl+Z undoes the typing instead. The
# files on disk and the trash are checked on the way.
source "$E2E_DIR/lib.sh"

install=$(new_install)
work="$HOME/e2e-folder-and-undo"
trash="${XDG_DATA_HOME:-$HOME/.local/share}/Trash"
rm -rf "$work" "$trash"
mkdir -p "$work/B_files"
printf '<html><body>A</body></html>' >"$work/a.htm"
printf '<html><body><img src="B_files/b.png">B</body></html>' >"$work/B.htm"
printf 'png' >"$work/B_files/b.png"
# A field over the whole page: emptied by an undo, it lets go of the keyboard and says so in a
# message of the page.
printf '<html><body><input style="position:fixed;left:0;top:0;width:100%%;height:100%%"
  oninput="if (this.value === \x27\x27) { this.blur(); alert(\x27vide\x27) }"></body></html>' >"$work/c 9.htm"
printf '<html><body>C 10</body></html>' >"$work/c 10.htm"
printf 'notes' >"$work/notes.txt"

start_velmo "$install" "$work/a.htm"
window=$(wait_window "^$work/a.htm\$")

# title_stays TITLE: the window title is still TITLE a moment after a key that must do nothing.
title_stays() {
    sleep 0.5
    [ "$(xdotool getwindowname "$window")" = "$1" ] || fail "le titre a changé : $(xdotool getwindowname "$window")"
}

for page in B.htm "c 9.htm" "c 10.htm"; do
    keys "$window" ctrl+Page_Down
    wait_window "^$work/$page\$" >/dev/null
done
keys "$window" ctrl+Page_Down
title_stays "$work/c 10.htm"
for page in "c 9.htm" B.htm; do
    keys "$window" ctrl+Page_Up
    wait_window "^$work/$page\$" >/dev/null
done

keys "$window" alt+s
for _ in $(seq 50); do [ ! -e "$work/B.htm" ] && break; sleep 0.1; done
[ ! -e "$work/B.htm" ] && [ ! -e "$work/B_files" ] || fail "la page supprimée est encore là"
[ -f "$trash/files/B.htm" ] && [ -f "$trash/files/B_files/b.png" ] || fail "la page n'est pas dans la corbeille"

# From where the deleted page was, on to the next one; then typing in its field is undone.
keys "$window" ctrl+Page_Down
wait_window "^$work/c 9.htm\$" >/dev/null
sleep 0.5
xdotool mousemove --window "$window" 200 200 click 1
type_text "$window" x
keys "$window" ctrl+z
message=$(wait_window '^Message de la page')
keys "$message" Return
[ -f "$trash/files/B.htm" ] || fail "Ctrl+Z dans un champ de la page a touché aux fichiers"

keys "$window" ctrl+z
wait_window "^$work/B.htm\$" >/dev/null
cmp -s "$work/B_files/b.png" <(printf 'png') || fail "le dossier de la page n'est pas revenu"
[ -f "$work/B.htm" ] || fail "la page n'est pas revenue"
left=$(ls -A "$trash/files"; ls -A "$trash/info")
[ -z "$left" ] || fail "la corbeille garde des entrées : $left"
[ "$(LC_ALL=C ls "$work" | tr '\n' '|')" = "B.htm|B_files|a.htm|c 10.htm|c 9.htm|notes.txt|" ] ||
    fail "dossier inattendu : $(ls "$work")"

keys "$window" alt+q
wait_exit
rm -rf "$install" "$work" "$trash"
echo "réussi"
