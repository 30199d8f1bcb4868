# A saved page never chooses the file that Supprimer trashes: after what a page does by itself (a
# script on the Alt key, a refresh, a link followed from a web page that the engine refuses) Alt+S
# trashes the page the user opened and nothing else; after a link to a folder, nothing; a drag the
# page fills opens nothing. A link the user clicks still makes the linked page current.
source "$E2E_DIR/lib.sh"

command -v python3 >/dev/null || { echo "SKIP: python3 manque (paquet python3)"; exit 77; }
install=$(new_install)
work="$HOME/e2e-page-picks-no-file"
trash="${XDG_DATA_HOME:-$HOME/.local/share}/Trash"
rm -rf "$work" "$trash"
mkdir -p "$work/Documents" "$work/web"
printf 'contrat' >"$work/Documents/contrat.odt"
printf 'thèse' >"$work/Documents/thèse.pdf"
victim="file://$work/Documents/contrat.odt"
# A link over the whole window, so that a click anywhere follows it.
link() { printf "<a id=l href='%s' style='position:fixed; inset:0'>lien</a>" "$1"; }

# A web server for the web page that a saved page links to.
python3 -m http.server --bind 127.0.0.1 --directory "$work/web" 0 >"$work/server.txt" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
for _ in $(seq 50); do grep -q 'port' "$work/server.txt" && break; sleep 0.1; done
port=$(sed -n 's/.* port \([0-9]*\).*/\1/p' "$work/server.txt" | head -n 1)
[ -n "$port" ] || fail "le serveur web ne démarre pas"
# Sends the page on by itself to a local file, and offers a link to another.
printf "<script>setTimeout(() => location = 'vpage://x%s', 100)</script>%s" \
    "$work/Documents/thèse.pdf" "$(link "vpage://x$work/Documents/contrat.odt")" >"$work/web/page.html"

printf '<html><body><script>onkeydown = e => { if (e.key == "Alt")
  location.replace("%s") }</script>Alt</body></html>' "$victim" >"$work/alt.htm"
printf '<html><head><meta http-equiv=refresh content="0; url=%s"></head><body>R</body></html>' \
    "$victim" >"$work/refresh.htm"
printf '<html><body>%s</body></html>' "$(link "http://127.0.0.1:$port/page.html")" >"$work/web.htm"
printf '<html><body>%s</body></html>' "$(link Documents/)" >"$work/folder.htm"
printf '<html><body>%s</body></html>' "$(link b.htm)" >"$work/link.htm"
printf '<html><body>B</body></html>' >"$work/b.htm"
# Whatever the user drags in it carries the address of another file.
printf '<html><body><div draggable=true style="position:fixed; inset:0"
  ondragstart="event.dataTransfer.setData(%s, %s)">glisser</div></body></html>' \
    "'text/uri-list'" "'$victim'" >"$work/drag.htm"

# click WINDOW: the user clicks in the middle of the page.
click() {
    xdotool mousemove --window "$1" 320 240 sleep 0.3 click 1
}
# trashed NAME: NAME went to the trash, and nothing else did.
trashed() {
    for _ in $(seq 50); do [ -e "$trash/files/$1" ] && break; sleep 0.1; done
    [ "$(ls -A "$trash/files" 2>/dev/null)" = "$1" ] ||
        fail "corbeille inattendue : $(ls -A "$trash/files" 2>/dev/null | tr '\n' ' ')"
    rm -rf "$trash"
}
documents_intact() {
    [ -f "$work/Documents/contrat.odt" ] && [ -f "$work/Documents/thèse.pdf" ] ||
        fail "un document a été touché"
}

for page in alt refresh; do
    start_velmo "$install" "$work/$page.htm"
    window=$(wait_window "^$work/$page.htm\$")
    sleep 1
    keys "$window" alt+s
    trashed "$page.htm"
    documents_intact
    keys "$window" alt+q
    wait_exit
done

# From the web page, its script and the link the user follows to a local file are both refused:
# the current page stays the web page, whose address Supprimer cannot take.
start_velmo "$install" "$work/web.htm"
window=$(wait_window "^$work/web.htm\$")
click "$window"
wait_window "^http://127.0.0.1:$port/page.html\$" >/dev/null
sleep 0.5
click "$window"
sleep 1
[ "$(xdotool getwindowname "$window")" = "http://127.0.0.1:$port/page.html" ] ||
    fail "le titre a changé : $(xdotool getwindowname "$window")"
keys "$window" alt+s
message=$(wait_window '^velmo$')
keys "$message" Return
[ ! -e "$trash/files" ] || [ -z "$(ls -A "$trash/files")" ] || fail "la corbeille n'est pas vide"
documents_intact
keys "$window" alt+q
wait_exit

# A folder reached by a link is shown, but is no current page: Supprimer does nothing.
start_velmo "$install" "$work/folder.htm"
window=$(wait_window "^$work/folder.htm\$")
click "$window"
# An empty title shows as the program's name.
for _ in $(seq 50); do [ "$(xdotool getwindowname "$window")" = velmo ] && break; sleep 0.1; done
[ "$(xdotool getwindowname "$window")" = velmo ] ||
    fail "le dossier est devenu la page courante : $(xdotool getwindowname "$window")"
keys "$window" alt+s
sleep 0.5
[ ! -e "$trash/files" ] || [ -z "$(ls -A "$trash/files")" ] || fail "la corbeille n'est pas vide"
[ -f "$work/folder.htm" ] || fail "la page a été touchée"
documents_intact
keys "$window" alt+q
wait_exit

# A link the user clicks makes the linked page current.
start_velmo "$install" "$work/link.htm"
window=$(wait_window "^$work/link.htm\$")
click "$window"
wait_window "^$work/b.htm\$" >/dev/null
keys "$window" alt+s
trashed b.htm
documents_intact
keys "$window" alt+q
wait_exit

# What the user drags in the page and lets go of in the window is the page's, not the user's
# choice of a file: nothing opens, and Supprimer trashes the page.
start_velmo "$install" "$work/drag.htm"
window=$(wait_window "^$work/drag.htm\$")
sleep 1
xdotool mousemove --window "$window" 300 300 sleep 0.2 mousedown 1
for step in $(seq 15); do
    xdotool mousemove --window "$window" $((300 + step * 10)) $((300 + step * 5)) sleep 0.05
done
xdotool sleep 0.3 mouseup 1 sleep 1
[ "$(xdotool getwindowname "$window")" = "$work/drag.htm" ] ||
    fail "le titre a changé : $(xdotool getwindowname "$window")"
keys "$window" alt+s
trashed drag.htm
documents_intact
keys "$window" alt+q
wait_exit
rm -rf "$install" "$work" "$trash"
echo "réussi"
