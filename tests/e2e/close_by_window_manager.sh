# Alt+F4 through the window manager closes the window the same way as "&Quitter": the settings are
# written, with the "Quitter rapidement" choice made in the menu from the keyboard. A window left
# maximized starts maximized.
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

# Marked maximized in the settings: the window manager is asked to maximize it, and it stays so.
printf '[Configuration]\r\nAffichage plein \xe9cran=1\r\n' >"$install/velmo.INI"
start_velmo "$install"
window=$(wait_window '^Velmo 2\.3')
for _ in $(seq 30); do
    xprop -id "$window" _NET_WM_STATE | grep -q MAXIMIZED_HORZ && break
    sleep 0.1
done
xprop -id "$window" _NET_WM_STATE | grep -q MAXIMIZED_HORZ || fail "fenêtre non agrandie au démarrage"
keys "$window" alt+F4
wait_exit
[ "$(ini_value "$install/velmo.INI" 'Affichage plein écran')" = 1 ] || fail "état agrandi non enregistré"
rm -rf "$install"
echo "réussi"
