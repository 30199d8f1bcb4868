#!/usr/bin/env bash
# Builds the library and the tests that do not need the web engine with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-sanitize/, then runs those tests: any report fails them.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-sanitize
sanitizers=-fsanitize=address,undefined
# Tests with these labels need the web engine, the print scheduler or the whole program.
skipped_labels='web|cups|e2e|install'

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DVELMO_WERROR=ON -DVELMO_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-O1 $sanitizers -fno-sanitize-recover=all -fno-omit-frame-pointer" \
    -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" >/dev/null
mapfile -t tests < <(ctest --test-dir "$build" -N -LE "$skipped_labels" |
    sed -n 's/^ *Test *#[0-9]*: *//p')
cmake --build "$build" --parallel "$(nproc)" --target "${tests[@]}"

export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ctest --test-dir "$build" -LE "$skipped_labels" --output-on-failure --timeout 900
