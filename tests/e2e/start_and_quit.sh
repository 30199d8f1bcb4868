# Starts on a page, quits with "&Quitter": the settings file holds the nine keys; a second start
# takes back the geometry the first one left.
source "$E2E_DIR/lib.sh"

install=$(new_install)
pages=$(mktemp -d "${TMPDIR:-/tmp}/velmo-pages.XXXXXX")
printf '<html><body><h1>Bonjour</h1></body></html>' >"$pages/page.htm"

start_velmo "$install" "$pages/page.htm"
window=$(wait_window "^$pages/page.htm\$")
[ ! -e "$install/velmo.INI" ] || fail "le fichier de réglages existe avant la fin"
xdotool windowsize --sync "$window" 800 600
xdotool windowmove --sync "$window" 100 120
keys "$window" alt+q
wait_exit

ini="$install/velmo.INI"
[ -f "$ini" ] || fail "pas de fichier de réglages après « Quitter »"
expected=$(printf '[Configuration]\r\nChemin de chargement=%s/\r\nChemin de copie=%s/\r\nChemin de d\xe9placement=%s/\r\nAffichage plein \xe9cran=0\r\nLargeur=800\r\nHauteur=600\r\nGauche=100\r\nHaut=120\r\nGestion rapide=0\r\n' \
    "$install" "$install" "$install" | od -c)
actual=$(od -c <"$ini")
[ "$expected" = "$actual" ] || fail "fichier de réglages inattendu :
$(cat -A "$ini")"

start_velmo "$install"
window=$(wait_window '^Velmo 2\.3')
geometry=$(xdotool getwindowgeometry "$window")
grep -q 'Position: 100,120' <<<"$geometry" || fail "position non rendue : $geometry"
grep -q 'Geometry: 800x600' <<<"$geometry" || fail "taille non rendue : $geometry"
keys "$window" alt+q
wait_exit
rm -rf "$install" "$pages"
echo "réussi"
