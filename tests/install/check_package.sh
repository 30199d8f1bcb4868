#!/usr/bin/env bash
# Makes the Debian package from a built tree (cpack -G DEB) and checks it: its name, its files, its
# Depends (worked out from the libraries), the desktop entry, the AppStream metainfo and the manual
# page. With --install (as root, as CI does): installs it with apt-get, starts the installed program
# on a page under Xvfb as an ordinary user, then removes the package again.
# Usage: check_package.sh BUILD_DIR [--install]
set -euo pipefail
build=$(cd "${1:?usage: check_package.sh BUILD_DIR [--install]}" && pwd)
install=false
[ "${2:-}" = --install ] && install=true
here=$(cd "$(dirname "$0")" && pwd)

fail() {
    echo "ÉCHEC : $*" >&2
    exit 1
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$build/velmo_${version}_$(dpkg --print-architecture).deb"
rm -f "$build"/velmo_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
[ -f "$deb" ] || fail "pas de paquet $deb : $(ls "$build"/*.deb 2>/dev/null)"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = velmo ] && [ "$(field Version)" = "$version" ] ||
    fail "nom ou version du paquet inattendus : $(field Package) $(field Version)"
depends=$(field Depends)
for package in libqt6webenginewidgets6 libqt6widgets6 libqt6core6 libcups2 libc6 \
    qt6-translations-l10n; do
    grep -Eq "(^|, )$package( |,|$)" <<<"$depends" || fail "$package manque dans Depends : $depends"
done

# Exactly these files, nothing else (no settings file, no test program).
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
expected=$(sort <<'LIST'
./usr/bin/velmo
./usr/share/applications/velmo.desktop
./usr/share/doc/velmo/copyright
./usr/share/icons/hicolor/32x32/apps/velmo.png
./usr/share/icons/hicolor/scalable/apps/velmo.svg
./usr/share/man/man1/velmo.1.gz
./usr/share/metainfo/org.velmo.velmo.metainfo.xml
LIST
)
[ "$files" = "$expected" ] || fail "contenu du paquet inattendu :
$(diff <(echo "$expected") <(echo "$files"))"

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
grep -qxF 'Exec="/usr/bin/velmo" %f' "$tree/usr/share/applications/velmo.desktop" ||
    fail "l'entrée de bureau ne nomme pas /usr/bin/velmo"
bash "$here/validate_entry.sh" "$tree/usr/share/applications/velmo.desktop" ||
    fail "entrée de bureau non valide"
appstreamcli validate --no-net "$tree/usr/share/metainfo/org.velmo.velmo.metainfo.xml" ||
    fail "fiche AppStream non valide"
appstreamcli validate-tree --no-net "$tree" >/dev/null || fail "arbre AppStream non valide"
# The licence is stated in the machine-readable form, as MIT, like the root LICENSE file.
copyright="$tree/usr/share/doc/velmo/copyright"
head -1 "$copyright" | grep -qxF \
    'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "le fichier copyright n'est pas au format lisible par la machine"
grep -qxF 'License: MIT' "$copyright" || fail "le fichier copyright ne donne pas la licence MIT"
cmp -s <(sed -n '/^Permission/,$p' "$here/../../LICENSE") \
    <(sed -n '/^ Permission/,$p' "$copyright" | sed 's/^ //; s/^\.$//') ||
    fail "le fichier copyright et LICENSE ne donnent pas le même texte de licence"
grep -qF '<project_license>MIT</project_license>' \
    "$tree/usr/share/metainfo/org.velmo.velmo.metainfo.xml" || fail "la fiche AppStream ne dit pas MIT"
# The manual page renders without a warning and names the keys, the settings file and the trash.
manual=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$tree/usr/share/man/man1/velmo.1.gz" \
    2>"$tree/man-warnings")
[ ! -s "$tree/man-warnings" ] || fail "page de manuel : $(cat "$tree/man-warnings")"
for text in Alt+O Alt+N Alt+C Alt+D Alt+S Alt+Q velmo.INI .config/velmo corbeille; do
    grep -qF "$text" <<<"$manual" || fail "la page de manuel ne dit rien de « $text »"
done
echo "paquet vérifié : $deb"

$install || exit 0
[ "$(id -u)" -eq 0 ] || { echo "SKIP: installer le paquet demande root"; exit 0; }
if dpkg-query -W -f='${Status}' velmo 2>/dev/null | grep -q 'ok installed'; then
    echo "SKIP: velmo est déjà installé sur ce système ; il n'est pas remplacé"
    exit 0
fi
trap 'apt-get remove -y -q velmo >/dev/null || true; rm -rf "$tree"' EXIT
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb" >/dev/null
[ -x /usr/bin/velmo ] || fail "apt-get n'a pas installé /usr/bin/velmo"
home=$(mktemp -d)
mkdir -p "$home/.config" "$home/.local/share" "$home/.cache"
HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
    XDG_CACHE_HOME=$home/.cache VELMO_INSTALLED=/usr/bin/velmo \
    bash "$here/../e2e/run-in-x.sh" /usr/bin/velmo "$here/../e2e/read_only_install.sh" ||
    fail "le programme installé par le paquet ne marche pas (code $?)"
rm -rf "$home"
echo "paquet installé, essayé puis retiré"
