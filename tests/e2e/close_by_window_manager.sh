# Alt+F4 through the window manager closes the window the same way as "&Quitter": the settings are
# written, with the "Quitter rapidement" choice made in the menu from the keyboard.
source "$E2E_DIR/lib.sh"

install=$(new_install)
start_velmo "$install"
window=$(wait_window '^Velmo 2\.3')
keys "$window" alt+F4
wait_exit
[ "$(ini_value "$install/velmo.INI" 'Gestion rapide')" = 0 ] || fail "réglages non écrits par Alt+F4"

start_velmo "$install"
window=$(wait_window '^Velmo 2\.3')
keys "$window" alt+p Return
sleep 0.5
keys "$window" alt+F4
wait_exit
[ "$(ini_value "$install/velmo.INI" 'Gestion rapide')" = 1 ] || fail "« Quitter rapidement » non enregistré"
rm -rf "$install"
echo "réussi"
