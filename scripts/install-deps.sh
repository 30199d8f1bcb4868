#!/usr/bin/env bash
# Installs the Debian packages that Velmo needs and that are missing. Idempotent.
# Usage: scripts/install-deps.sh [run|test]
set -euo pipefail

run_packages=(cmake g++ make pkg-config qt6-base-dev qt6-webengine-dev qt6-translations-l10n
    libcups2-dev libglib2.0-dev libgl-dev libx11-dev libxtst-dev)
test_packages=(xvfb xauth xdotool cups printer-driver-cups-pdf poppler-utils gvfs
    dbus dbus-x11 libglib2.0-bin desktop-file-utils openbox x11-utils fonts-dejavu-core
    dpkg-dev file appstream man-db python3)
# exFAT, a file system that ignores case, for the copy tests run as root.
test_packages+=(exfatprogs exfat-fuse)

wanted=("${run_packages[@]}")
if [ "${1:-run}" = test ]; then
    wanted+=("${test_packages[@]}")
fi

missing=()
for package in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi
echo "Installation de : ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends \
    "${missing[@]}"
