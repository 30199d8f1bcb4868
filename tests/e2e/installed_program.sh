# Installs into a fresh prefix; the installed program starts on a page, whose path becomes the
# title, quits with Alt+Q and writes its settings beside itself. Then the desktop entry starts it
# on a page the way a file manager's "Open with" does.
source "$E2E_DIR/lib.sh"

prefix=$(mktemp -d "${TMPDIR:-/tmp}/velmo prefix.XXXXXX")
pages=$(mktemp -d "${TMPDIR:-/tmp}/velmo-pages.XXXXXX")
trap 'rm -rf "$prefix" "$pages"' EXIT
"$VELMO_CMAKE" --install "$VELMO_BUILD_DIR" --prefix "$prefix" >/dev/null
printf '<html><body><h1>Tarte aux pommes</h1></body></html>' >"$pages/Recette du jour.htm"
printf '<html><body><h1>Gratin</h1></body></html>' >"$pages/gratin.htm"

start_velmo "$prefix/bin" "$pages/Recette du jour.htm"
window=$(wait_window "^$pages/Recette du jour\\.htm\$")
keys "$window" alt+q
wait_exit
[ "$(ini_value "$prefix/bin/velmo.INI" "Chemin de chargement")" = "$prefix/bin/" ] ||
    fail "réglages absents à côté du programme installé"
rm "$prefix/bin/velmo.INI"

if command -v gio >/dev/null; then
    gio launch "$prefix/share/applications/velmo.desktop" "$pages/gratin.htm" ||
        fail "l'entrée de bureau ne se lance pas"
    window=$(wait_window "^$pages/gratin\\.htm\$")
    VELMO_PID=$(xdotool getwindowpid "$window")
    [ "$(readlink "/proc/$VELMO_PID/exe")" = "$prefix/bin/velmo" ] ||
        fail "l'entrée de bureau a lancé un autre programme"
    keys "$window" alt+q
    for _ in $(seq 150); do
        kill -0 "$VELMO_PID" 2>/dev/null || break
        sleep 0.2
    done
    ! kill -0 "$VELMO_PID" 2>/dev/null || fail "le programme lancé par l'entrée ne s'est pas terminé"
    [ -f "$prefix/bin/velmo.INI" ] || fail "le programme lancé par l'entrée n'a pas écrit ses réglages"
fi
echo "réussi"
