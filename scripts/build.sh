#!/usr/bin/env bash
# Configures and builds Velmo in build/ (warnings are errors).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMO_WERROR=ON >/dev/null
cmake --build build --parallel "$(nproc)"
