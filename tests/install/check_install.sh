#!/usr/bin/env bash
# Installs the build into a fresh prefix (with a space in its path) and checks what lands there:
# the program, the desktop entry naming it, the icons; the entry is valid and offered for web pages.
# Usage: check_install.sh CMAKE BUILD_DIR SOURCE_DIR
set -euo pipefail
cmake=$1
build=$2
source=$3

fail() {
    echo "ÉCHEC : $*" >&2
    exit 1
}

prefix=$(mktemp -d "${TMPDIR:-/tmp}/velmo prefix.XXXXXX")
stage=$(mktemp -d "${TMPDIR:-/tmp}/velmo-stage.XXXXXX")
trap 'rm -rf "$prefix" "$stage"' EXIT
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

[ -x "$prefix/bin/velmo" ] || fail "pas de programme dans bin/"
cmp -s "$source/packaging/icons/velmo.svg" "$prefix/share/icons/hicolor/scalable/apps/velmo.svg" ||
    fail "icône vectorielle absente ou différente"
cmp -s "$source/packaging/icons/velmo-32.png" "$prefix/share/icons/hicolor/32x32/apps/velmo.png" ||
    fail "icône 32x32 absente ou différente"

entry="$prefix/share/applications/velmo.desktop"
[ -f "$entry" ] || fail "pas d'entrée de bureau"
grep -qxF "Exec=\"$prefix/bin/velmo\" %f" "$entry" ||
    fail "Exec ne nomme pas le programme installé : $(grep '^Exec=' "$entry")"
grep -qxF "TryExec=$prefix/bin/velmo" "$entry" || fail "TryExec ne nomme pas le programme installé"
# Apart from the program's path, the installed entry is the repository's.
diff <(grep -v '^\(Try\)\?Exec=' "$source/packaging/velmo.desktop") \
    <(grep -v '^\(Try\)\?Exec=' "$entry") >&2 || fail "l'entrée installée diffère de l'originale"
for line in Name=Velmo Icon=velmo \
    'MimeType=text/html;application/xhtml+xml;application/x-mimearchive;multipart/related;'; do
    grep -qxF "$line" "$entry" || fail "ligne absente de l'entrée : $line"
done
if command -v desktop-file-validate >/dev/null; then
    bash "$(dirname "$0")/validate_entry.sh" "$entry" || fail "l'entrée installée n'est pas valide"
fi

# The desktop's own look-up (GIO, as file managers use it) offers Velmo for every page type.
if command -v gio >/dev/null && command -v update-desktop-database >/dev/null; then
    for type in text/html application/xhtml+xml application/x-mimearchive multipart/related; do
        offered=$(HOME="$stage" XDG_DATA_HOME="$prefix/share" XDG_CONFIG_HOME="$stage/.config" \
            gio mime "$type")
        grep -qx $'\tvelmo.desktop' <<<"$offered" || fail "Velmo n'est pas proposé pour $type"
    done
fi

# A staged install for a package writes under DESTDIR but names the final place.
DESTDIR="$stage" "$cmake" --install "$build" --prefix /usr >/dev/null
[ -x "$stage/usr/bin/velmo" ] || fail "installation avec DESTDIR : pas de programme"
grep -qxF 'Exec="/usr/bin/velmo" %f' "$stage/usr/share/applications/velmo.desktop" ||
    fail "installation avec DESTDIR : Exec inattendu"
[ ! -e "$stage/usr/share/applications/mimeinfo.cache" ] ||
    fail "installation avec DESTDIR : cache des types écrit"
echo "réussi"
