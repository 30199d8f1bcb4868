#!/usr/bin/env bash
# Start-up benchmark: Velmo against a bare web view on the same saved page, in a private X server.
# Measures the time from process start to the window title becoming the page's path, and the
# memory (sum of Pss) of the program and all its processes once the page is shown.
# Usage: bench/startup.sh [-n RUNS] [-s SETTLE_SECONDS] [BUILD_DIR]   (see bench/README.md)
set -euo pipefail

runs=7
settle=1
while getopts "n:s:h" option; do
    case $option in
    n) runs=$OPTARG ;;
    s) settle=$OPTARG ;;
    *)
        sed -n '2,5s/^# \{0,1\}//p' "$0"
        exit 2
        ;;
    esac
done
shift $((OPTIND - 1))
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$source_dir/build}" && pwd)
velmo=$build/velmo
bare=$build/bench/velmo_bare_viewer
title_wait=$build/bench/velmo_title_wait

for program in "$velmo" "$bare" "$title_wait"; do
    [ -x "$program" ] || { echo "$program manque : construisez d'abord (cmake --build build)" >&2; exit 2; }
done
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "$tool manque (scripts/install-deps.sh test)" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/velmo-bench.XXXXXX")
cleanup() {
    # A program left running by an interrupted run goes with its processes.
    if [ -n "${current_pid:-}" ]; then
        mapfile -t processes < <(tree "$current_pid")
        end_all "${processes[@]}"
    fi
    kill $(jobs -p) 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
trap "exit 130" INT TERM

# Neither program touches the real user's files.
mkdir -p "$work/home"
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CACHE_HOME=$work/home/.cache \
    XDG_CONFIG_HOME=$work/home/.config
export QT_QPA_PLATFORM=xcb

# ---- The page: a saved page with text and images in page_files/.

# le32 NUMBER: the number as four little-endian bytes, written as printf escapes.
le32() {
    printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) \
        $(($1 >> 24 & 255))
}

# bmp FILE WIDTH HEIGHT: writes a 24-bit picture of eight colour bands (WIDTH a multiple of 4,
# so that rows need no padding).
bmp() {
    local file=$1 width=$2 height=$3 band pixel y rows=()
    for band in 0 1 2 3 4 5 6 7; do
        pixel=$(printf '\\x%02x\\x%02x\\x%02x' $((band * 30)) $((200 - band * 20)) $((60 + band * 24)))
        rows[band]=$(printf "%${width}s" "" | sed "s/ /${pixel//\\/\\\\}/g")
    done
    {
        printf "BM$(le32 $((54 + width * 3 * height)))$(le32 0)$(le32 54)$(le32 40)"
        printf "$(le32 "$width")$(le32 "$height")\\x01\\x00\\x18\\x00$(le32 0)"
        printf "$(le32 $((width * 3 * height)))$(le32 2835)$(le32 2835)$(le32 0)$(le32 0)"
        for ((y = 0; y < height; y++)); do
            printf "${rows[y * 8 / height]}"
        done
    } >"$file"
}

pages=$work/pages
mkdir -p "$pages/page_files"
for image in 1 2 3 4 5 6; do
    bmp "$pages/page_files/image$image.bmp" $((200 + image * 40)) $((120 + image * 20))
done
cat >"$pages/page_files/style.css" <<'CSS'
body { font-family: serif; max-width: 50em; margin: 1em auto; line-height: 1.4; }
figure { display: inline-block; margin: 0.5em; }
h2 { border-bottom: 1px solid #888; }
CSS
page=$pages/page.htm
{
    printf '<!DOCTYPE html>\n<html lang="fr"><head><meta charset="utf-8">\n'
    printf '<title>Notes de voyage</title><link rel="stylesheet" href="page_files/style.css">\n'
    printf '</head><body><h1>Notes de voyage</h1>\n'
    for section in 1 2 3 4 5 6; do
        printf '<h2>Étape %d</h2>\n' "$section"
        for paragraph in 1 2 3; do
            printf '<p>Le chemin %d.%d longe la rivière puis monte vers le col, où la vue ' \
                "$section" "$paragraph"
            printf 'porte sur toute la vallée. Les villages sont bâtis en pierre sèche, les '
            printf 'toits couverts de lauzes, et l’on y trouve du pain, du fromage et de l’eau '
            printf 'fraîche à chaque fontaine. Compter trois heures de marche, pauses comprises.</p>\n'
        done
        printf '<figure><img src="page_files/image%d.bmp" alt="Vue %d"><figcaption>Vue %d</figcaption></figure>\n' \
            "$section" "$section" "$section"
    done
    printf '</body></html>\n'
} >"$page"

# ---- A private X server. Xvfb picks a free display number itself: choosing one here could race
# with another X server starting at the same time, and then another program's keys would reach ours.
exec {display_fd}>"$work/display"
Xvfb -displayfd "$display_fd" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
exec {display_fd}>&-
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
[ -s "$work/display" ] && kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb ne démarre pas" >&2; exit 2; }
export DISPLAY=:$(head -n 1 "$work/display")
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "Xvfb ne répond pas" >&2; exit 2; }

# ---- Measures.

# tree PID: the process and all its descendants, one pid a line.
tree() {
    local -A children=()
    local stat pid rest state ppid
    for stat in /proc/[0-9]*/stat; do
        read -r rest 2>/dev/null <"$stat" || continue
        pid=${rest%% *}
        # The name in parentheses may hold spaces: the fields after it are read from its end.
        read -r state ppid _ <<<"${rest##*) }"
        children[$ppid]+=" $pid"
    done
    local queue=("$1") next
    while [ ${#queue[@]} -gt 0 ]; do
        next=${queue[0]}
        queue=("${queue[@]:1}")
        echo "$next"
        for pid in ${children[$next]:-}; do
            queue+=("$pid")
        done
    done
}

# pss_kib PID...: the sum of the processes' proportional set sizes, in KiB.
pss_kib() {
    local pid total=0 value
    for pid in "$@"; do
        value=$(awk '/^Pss:/ {print $2}' "/proc/$pid/smaps_rollup" 2>/dev/null || true)
        total=$((total + ${value:-0}))
    done
    echo "$total"
}

# outsiders PID...: how many other processes map the web engine's library. Pss divides a shared
# page among all the processes that map it, so these lower the measured memory.
outsiders() {
    local count=0 maps pid
    for maps in $(grep -l libQt6WebEngineCore /proc/[0-9]*/maps 2>/dev/null); do
        pid=${maps#/proc/}
        pid=${pid%/maps}
        [[ " $* " == *" $pid "* ]] || count=$((count + 1))
    done
    echo "$count"
}

# end_all PID...: ends the processes and waits until they are gone.
end_all() {
    kill -TERM "$@" 2>/dev/null || true
    for _ in $(seq 100); do
        kill -0 "$@" 2>/dev/null || return 0
        sleep 0.05
    done
    kill -KILL "$@" 2>/dev/null || true
    sleep 0.2
}

# run_one NAME PROGRAM: one start of a copy of PROGRAM in a fresh folder (so a fresh settings
# file); sets run_ms, run_cpu, run_kib, run_processes and run_outsiders.
run_one() {
    local install result pid processes
    install=$(mktemp -d "$work/install.XXXXXX")
    cp "$2" "$install/$1"
    result=$("$title_wait" "$page" 60000 "$install/$1" "$page" 2>"$install/output.txt") || {
        echo "$1 : la page n'a pas été affichée" >&2
        cat "$install/output.txt" >&2
        exit 1
    }
    read -r pid run_ms run_cpu <<<"$result"
    current_pid=$pid
    sleep "$settle"
    kill -0 "$pid" 2>/dev/null || {
        echo "$1 s'est terminé avant la mesure de la mémoire" >&2
        cat "$install/output.txt" >&2
        exit 1
    }
    mapfile -t processes < <(tree "$pid")
    run_kib=$(pss_kib "${processes[@]}")
    run_processes=${#processes[@]}
    run_outsiders=$(outsiders "${processes[@]}")
    end_all "${processes[@]}"
    current_pid=""
    rm -rf "$install"
}

median() {
    sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

echo "Page : $page (texte, 6 images dans page_files/)"
echo "$runs passages de chaque programme, en alternance, après un passage de mise en route."
echo "Charge de la machine : $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) processeurs)"
printf '%-15s %-9s %10s %9s %14s %10s %7s\n' passage programme "temps (ms)" "UC (ms)" "mémoire (Mio)" processus autres
velmo_times=() velmo_cpu=() velmo_memory=() bare_times=() bare_cpu=() bare_memory=()
velmo_quiet_memory=() bare_quiet_memory=()
for ((run = 0; run <= runs; run++)); do
    order=(velmo bare)
    ((run % 2 == 0)) && order=(bare velmo)
    for name in "${order[@]}"; do
        if [ "$name" = velmo ]; then
            run_one velmo "$velmo"
        else
            run_one bare_viewer "$bare"
        fi
        ms=$run_ms cpu=$run_cpu kib=$run_kib
        label=$run
        ((run == 0)) && label="(mise en route)"
        printf '%-15s %-9s %10s %9s %14.1f %10s %7s\n' "$label" "$name" "$ms" "$run_cpu" \
            "$(awk -v k="$kib" 'BEGIN { print k / 1024 }')" "$run_processes" "$run_outsiders"
        ((run == 0)) && continue
        if [ "$name" = velmo ]; then
            velmo_times+=("$ms") velmo_cpu+=("$cpu") velmo_memory+=("$kib")
            ((run_outsiders > 0)) || velmo_quiet_memory+=("$kib")
        else
            bare_times+=("$ms") bare_cpu+=("$cpu") bare_memory+=("$kib")
            ((run_outsiders > 0)) || bare_quiet_memory+=("$kib")
        fi
    done
done

velmo_ms=$(printf '%s\n' "${velmo_times[@]}" | median)
bare_ms=$(printf '%s\n' "${bare_times[@]}" | median)
velmo_cpu_ms=$(printf '%s\n' "${velmo_cpu[@]}" | median)
bare_cpu_ms=$(printf '%s\n' "${bare_cpu[@]}" | median)
# Memory read while other programs shared the engine's library is too low: those runs are left
# out, as long as each program keeps at least one.
if [ ${#velmo_quiet_memory[@]} -gt 0 ] && [ ${#bare_quiet_memory[@]} -gt 0 ]; then
    velmo_memory=("${velmo_quiet_memory[@]}") bare_memory=("${bare_quiet_memory[@]}")
    memory_note="mémoire sur les passages sans autre processus du moteur web : ${#velmo_memory[@]} de Velmo, ${#bare_memory[@]} de la vue nue"
else
    memory_note="attention : d'autres processus du moteur web tournaient à chaque passage, la mémoire est sous-estimée"
fi
velmo_kib=$(printf '%s\n' "${velmo_memory[@]}" | median)
bare_kib=$(printf '%s\n' "${bare_memory[@]}" | median)
awk -v vt="$velmo_ms" -v bt="$bare_ms" -v vc="$velmo_cpu_ms" -v bc="$bare_cpu_ms" \
    -v vm="$velmo_kib" -v bm="$bare_kib" -v note="$memory_note" 'BEGIN {
    printf "\nMédianes        %12s %10s %14s\n", "temps (ms)", "UC (ms)", "mémoire (Mio)"
    printf "Velmo           %12.1f %10.0f %14.1f\n", vt, vc, vm / 1024
    printf "vue nue         %12.1f %10.0f %14.1f\n", bt, bc, bm / 1024
    printf "Velmo/vue nue   %11.3fx %9.3fx %13.3fx\n", vt / bt, vc / bc, vm / bm
    printf "cibles          %11.2fx %10s %13.2fx\n", 1.15, "-", 1.10
    printf "temps : %s ; mémoire : %s\n", (vt / bt <= 1.15) ? "cible tenue" : "cible manquée",
        (vm / bm <= 1.10) ? "cible tenue" : "cible manquée"
    print "(" note ")"
}'
