# Installs into a prefix that the user cannot write, as a system-wide install is, and starts the
# installed program as an ordinary user: checking "Quitter rapidement" then quitting shows no error
# box, the user's own settings file (~/.config/velmo/velmo.INI) holds the option and, as start
# folders, the user's home, and the next start reads it back. As root the user is velmo-check;
# otherwise the prefix is made read-only.
# With VELMO_INSTALLED naming a program already installed (the package's), that one is started.
source "$E2E_DIR/lib.sh"

home=$(mktemp -d "${TMPDIR:-/tmp}/velmo-home.XXXXXX")
prefix=""
trap '[ -z "$prefix" ] || chmod -R u+w "$prefix"; rm -rf "$prefix" "$home"' EXIT
if [ -n "${VELMO_INSTALLED:-}" ]; then
    program=$VELMO_INSTALLED
else
    prefix=$(mktemp -d "${TMPDIR:-/tmp}/velmo prefix.XXXXXX")
    "$VELMO_CMAKE" --install "$VELMO_BUILD_DIR" --prefix "$prefix" >/dev/null
    chmod 755 "$prefix"
    program="$prefix/bin/velmo"
fi
bin=$(dirname "$program")
mkdir -m 700 "$home/runtime"
mkdir "$home/pages"
printf '<html><body><h1>Tarte aux pommes</h1></body></html>' >"$home/pages/recette.htm"
chmod 755 "$home"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    id velmo-check >/dev/null 2>&1 || useradd -m velmo-check >/dev/null 2>&1 ||
        { echo "SKIP: l'utilisateur velmo-check ne peut pas être créé (useradd)"; exit 77; }
    chown -R velmo-check: "$home"
    as_user=(runuser -u velmo-check --)
elif [ -n "$prefix" ]; then
    chmod -R a-w "$prefix"
fi
"${as_user[@]}" test ! -w "$bin" || fail "le dossier du programme est inscriptible"

# start_installed: starts the installed program as the user on the page; sets VELMO_PID.
start_installed() {
    "${as_user[@]}" env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME HOME="$home" \
        XDG_RUNTIME_DIR="$home/runtime" DISPLAY="$DISPLAY" \
        "$program" "$home/pages/recette.htm" >>"$home/output.txt" 2>&1 &
    VELMO_PID=$!
    window=$(wait_window "^$home/pages/recette\\.htm\$")
}

# quit_without_error_box: Alt+Q; the program ends at once, with no error box on the way.
quit_without_error_box() {
    keys "$window" alt+q
    for _ in $(seq 25); do
        kill -0 "$VELMO_PID" 2>/dev/null || break
        sleep 0.2
    done
    ! xdotool search --onlyvisible --name '^Velmo$' >/dev/null 2>&1 ||
        fail "une boîte d'erreur s'est ouverte à la fermeture"
    wait_exit
}

settings="$home/.config/velmo/velmo.INI"
start_installed
keys "$window" alt+p Return
sleep 0.3
quit_without_error_box
[ "$(ini_value "$settings" 'Gestion rapide')" = 1 ] || fail "option non enregistrée dans $settings"
# With settings of their own, the dialogs start in the user's home, not among the program's files.
for key in 'Chemin de chargement' 'Chemin de copie' 'Chemin de déplacement'; do
    [ "$(ini_value "$settings" "$key")" = "$home/" ] || fail "« $key » inattendu : $(ini_value "$settings" "$key")"
done
[ "$(stat -c %a "$home/.config/velmo")" = 700 ] || fail "le dossier des réglages n'est pas privé"
[ ! -e "$bin/velmo.INI" ] || fail "des réglages ont été écrits à côté du programme"

# The next start reads the option back: it would write 0 otherwise.
start_installed
quit_without_error_box
[ "$(ini_value "$settings" 'Gestion rapide')" = 1 ] || fail "option non relue au démarrage suivant"
echo "réussi"
