# Renames, copies and moves the page shown from the keyboard, as a user would; then, with
# "Quitter rapidement" checked, deletes a page and the program closes by itself. The files on disk,
# the trash and the settings file are checked after each run.
source "$E2E_DIR/lib.sh"

install=$(new_install)
work="$HOME/e2e-file-commands"
rm -rf "$work"
mkdir -p "$work/pages" "$work/copies" "$work/moved"
printf '<html><body><h1>Page A</h1></body></html>' >"$work/pages/a.htm"
printf '<html><body><h1>Page C</h1></body></html>' >"$work/pages/c.htm"

start_velmo "$install" "$work/pages/a.htm"
window=$(wait_window "^$work/pages/a.htm\$")

keys "$window" alt+n
dialog=$(wait_window '^Nouveau nom de a\.htm$')
type_text "$dialog" b
keys "$dialog" Return
wait_window "^$work/pages/b.htm\$" >/dev/null
[ -f "$work/pages/b.htm" ] && [ ! -e "$work/pages/a.htm" ] || fail "renommage non fait"

keys "$window" alt+c
dialog=$(wait_window "^Copie du fichier $work/pages/b.htm\$")
keys "$dialog" ctrl+a
type_text "$dialog" "$work/copies/b.htm"
keys "$dialog" Return
for _ in $(seq 50); do [ -f "$work/copies/b.htm" ] && break; sleep 0.1; done
cmp -s "$work/copies/b.htm" "$work/pages/b.htm" || fail "copie non faite"

keys "$window" alt+d
dialog=$(wait_window "^Déplacement du fichier $work/pages/b.htm\$")
keys "$dialog" ctrl+a
type_text "$dialog" "$work/moved/b.htm"
keys "$dialog" Return
for _ in $(seq 50); do [ -f "$work/moved/b.htm" ] && break; sleep 0.1; done
[ -f "$work/moved/b.htm" ] && [ ! -e "$work/pages/b.htm" ] || fail "déplacement non fait"

keys "$window" alt+q
wait_exit
ini="$install/velmo.INI"
[ "$(ini_value "$ini" 'Chemin de copie')" = "$work/copies/" ] || fail "dossier de copie non retenu"
[ "$(ini_value "$ini" 'Chemin de déplacement')" = "$work/moved/" ] || fail "dossier de déplacement non retenu"
[ "$(ini_value "$ini" 'Gestion rapide')" = 0 ] || fail "option inattendue"

# Second run: check "Quitter rapidement", delete the page: it goes to the trash and Velmo ends.
start_velmo "$install" "$work/pages/c.htm"
window=$(wait_window "^$work/pages/c.htm\$")
keys "$window" alt+p Return
sleep 0.3
keys "$window" alt+s
wait_exit
trash="${XDG_DATA_HOME:-$HOME/.local/share}/Trash"
[ ! -e "$work/pages/c.htm" ] || fail "la page supprimée est encore là"
cmp -s "$trash/files/c.htm" <(printf '<html><body><h1>Page C</h1></body></html>') ||
    fail "la page supprimée n'est pas dans la corbeille"
grep -q "^Path=$work/pages/c.htm\$" "$trash/info/c.htm.trashinfo" || fail "fiche de corbeille inattendue"
[ "$(ini_value "$ini" 'Gestion rapide')" = 1 ] || fail "option non enregistrée"
rm -rf "$install" "$work" "$trash"
echo "réussi"
