#!/usr/bin/env bash
# Checks desktop entries with desktop-file-validate: an error or a warning fails, a hint does not.
# Exits 77 (skipped) when the tool is missing.
set -euo pipefail
command -v desktop-file-validate >/dev/null ||
    { echo "SKIP: desktop-file-validate manque (paquet desktop-file-utils)"; exit 77; }
report=$(desktop-file-validate --no-hints "$@" 2>&1) || { echo "$report"; exit 1; }
[ -z "$report" ] || { echo "$report"; exit 1; }
