#!/usr/bin/env bash
# Installs what is missing, builds Velmo and starts it, on the page given if any.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/install-deps.sh" run
"$here/scripts/build.sh"
exec "$here/build/velmo" "$@"
