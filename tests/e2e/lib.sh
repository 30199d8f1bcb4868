# Helpers for end-to-end tests that drive the real program in an X server from the keyboard.
# Each test script is run by run-in-x.sh, with DISPLAY set and VELMO_PROGRAM naming the program.
set -euo pipefail

fail() {
    echo "ÉCHEC : $*" >&2
    exit 1
}

# A fresh folder holding a copy of the program, so that its settings file is the test's own.
new_install() {
    local folder
    folder=$(mktemp -d "${TMPDIR:-/tmp}/velmo-e2e.XXXXXX")
    cp "$VELMO_PROGRAM" "$folder/velmo"
    echo "$folder"
}

# start_velmo FOLDER [ARGS...]: starts the program of FOLDER in the background; sets VELMO_PID.
start_velmo() {
    local folder=$1
    shift
    "$folder/velmo" "$@" >"$folder/output.txt" 2>&1 &
    VELMO_PID=$!
}

# wait_window TITLE_REGEX: waits for a window whose title matches and prints its id.
wait_window() {
    local id
    for _ in $(seq 150); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.2
    done
    fail "aucune fenêtre dont le titre correspond à « $1 »"
}

# keys WINDOW KEY...: gives the window the focus and types the keys there.
keys() {
    local window=$1
    shift
    xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
    xdotool key --clearmodifiers --delay 80 "$@"
}

# type_text WINDOW TEXT: types a text into the focused widget of the window.
type_text() {
    xdotool windowfocus --sync "$1"
    xdotool type --clearmodifiers --delay 20 "$2"
}

# wait_exit: waits for the program to end and checks that it ended normally.
wait_exit() {
    for _ in $(seq 150); do
        if ! kill -0 "$VELMO_PID" 2>/dev/null; then
            wait "$VELMO_PID" || fail "le programme s'est terminé avec le code $?"
            return 0
        fi
        sleep 0.2
    done
    kill "$VELMO_PID" 2>/dev/null || true
    fail "le programme ne s'est pas terminé"
}

# ini_value FILE KEY: the value of a key of the settings file (key bytes in Windows-1252).
ini_value() {
    local key
    key=$(printf '%s' "$2" | iconv -f UTF-8 -t WINDOWS-1252)
    LC_ALL=C grep -a "^$key=" "$1" | head -n 1 | cut -d= -f2- | tr -d '\r'
}
