#!/usr/bin/env bash
# Page benchmarks: Velmo against a bare web view on the same saved pages, in a private X server.
# Times each page by its own load event (the page reports it to a server of the benchmark's), and
# reads the memory (sum of Pss) of the program and all its processes once the page is shown.
# Usage: bench/startup.sh [-p text|pictures|next|next-text] [-n RUNS] [-k STEPS] [-s SETTLE_SECONDS]
#        [BUILD_DIR]
#   (see bench/README.md)
set -euo pipefail

kind=text
runs=7
steps=3
settle=1
while getopts "p:n:k:s:h" option; do
    case $option in
    p) kind=$OPTARG ;;
    n) runs=$OPTARG ;;
    k) steps=$OPTARG ;;
    s) settle=$OPTARG ;;
    *)
        sed -n '2,7s/^# \{0,1\}//p' "$0"
        exit 2
        ;;
    esac
done
shift $((OPTIND - 1))
case $kind in
text | pictures) steps=0 ;;
next | next-text) ;;
*) echo "type de page inconnu : $kind (text, pictures, next ou next-text)" >&2; exit 2 ;;
esac
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$source_dir/build}" && pwd)
velmo=$build/velmo
bare=$build/bench/velmo_bare_viewer
load_wait=$build/bench/velmo_load_wait
bench_pages=$build/bench/velmo_bench_pages

for program in "$velmo" "$bare" "$load_wait" "$bench_pages"; do
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

# ---- The pages, which report their load event to 127.0.0.1:$port.
port=$("$load_wait" --free-port)
pages=$work/pages
mkdir -p "$pages"
"$bench_pages" "$kind" "$pages" "$port"
case $kind in
text) page=$pages/page.htm description="texte de 100 sections et une feuille de style" ;;
pictures) page=$pages/page.htm description="300 images JPEG 160×120 dans page_files/" ;;
next) page=$pages/page01.htm description="$steps fois Ctrl+Page suivante, pages de 100 images JPEG 160×120 chacune" ;;
next-text) page=$pages/page01.htm description="$steps fois Ctrl+Page suivante, pages de texte de 100 sections" ;;
esac

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

# memory_kib FIELDS PID...: the sum over the processes of the smaps_rollup fields matching FIELDS
# (a regular expression), in KiB.
memory_kib() {
    local fields=$1 pid total=0 value
    shift
    for pid in "$@"; do
        value=$(awk -v f="^($fields):" '$0 ~ f {sum += $2} END {print sum}' "/proc/$pid/smaps_rollup" 2>/dev/null || true)
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
# file) on the first page, then $steps next pages; sets run_ms, run_cpu, run_kib, run_processes,
# run_private_kib, run_outsiders, and run_navigation and run_next (one time per next page).
run_one() {
    local install pid processes kind_of ms cpu title
    install=$(mktemp -d "$work/install.XXXXXX")
    cp "$2" "$install/$1"
    "$load_wait" "$port" 60000 "$steps" $((settle * 1000)) "$install/$1" "$page" \
        >"$install/result.txt" 2>"$install/output.txt" || {
        echo "$1 : la page n'a pas été affichée" >&2
        cat "$install/result.txt" "$install/output.txt" >&2
        exit 1
    }
    run_navigation=() run_next=()
    while read -r kind_of ms cpu title; do
        if [ "$kind_of" = start ]; then
            pid=$ms
            read -r run_ms run_cpu _ <<<"$cpu $title"
        else
            run_navigation+=("$ms") run_next+=("$cpu")
        fi
    done <"$install/result.txt"
    current_pid=$pid
    sleep "$settle"
    kill -0 "$pid" 2>/dev/null || {
        echo "$1 s'est terminé avant la mesure de la mémoire" >&2
        cat "$install/output.txt" >&2
        exit 1
    }
    mapfile -t processes < <(tree "$pid")
    # The proportional set size, and the private memory: what no other process shares, so it does
    # not depend on what else runs on the machine.
    run_kib=$(memory_kib Pss "${processes[@]}")
    run_private_kib=$(memory_kib "Private_Clean|Private_Dirty" "${processes[@]}")
    run_processes=${#processes[@]}
    run_outsiders=$(outsiders "${processes[@]}")
    end_all "${processes[@]}"
    current_pid=""
    rm -rf "$install"
}

median() {
    sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

echo "Page : $description"
echo "$runs passages de chaque programme, en alternance, après un passage de mise en route."
echo "Charge de la machine : $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) processeurs)"
printf '%-15s %-9s %11s %8s %10s %10s %5s %6s  %s\n' passage programme "départ (ms)" "UC (ms)" \
    "Pss (Mio)" "privée" proc. autres "$( ((steps > 0)) && echo "pages suivantes : touche→navigation/chargée (ms)")"
velmo_times=() velmo_cpu=() velmo_memory=() velmo_private=() velmo_quiet_memory=()
bare_times=() bare_cpu=() bare_memory=() bare_private=() bare_quiet_memory=()
velmo_next=() bare_next=() velmo_navigation=() bare_navigation=()
for ((run = 0; run <= runs; run++)); do
    order=(velmo bare)
    ((run % 2 == 0)) && order=(bare velmo)
    for name in "${order[@]}"; do
        if [ "$name" = velmo ]; then
            run_one velmo "$velmo"
        else
            run_one bare_viewer "$bare"
        fi
        label=$run
        ((run == 0)) && label="(mise en route)"
        next_text=""
        for ((i = 0; i < ${#run_next[@]}; i++)); do
            next_text+=" ${run_navigation[i]}/${run_next[i]}"
        done
        printf '%-15s %-9s %11s %8s %10.1f %10.1f %5s %6s %s\n' "$label" "$name" "$run_ms" \
            "$run_cpu" "$(awk -v k="$run_kib" 'BEGIN { print k / 1024 }')" \
            "$(awk -v k="$run_private_kib" 'BEGIN { print k / 1024 }')" "$run_processes" \
            "$run_outsiders" "$next_text"
        ((run == 0)) && continue
        if [ "$name" = velmo ]; then
            velmo_times+=("$run_ms") velmo_cpu+=("$run_cpu") velmo_memory+=("$run_kib")
            velmo_private+=("$run_private_kib")
            velmo_next+=("${run_next[@]}") velmo_navigation+=("${run_navigation[@]}")
            ((run_outsiders > 0)) || velmo_quiet_memory+=("$run_kib")
        else
            bare_times+=("$run_ms") bare_cpu+=("$run_cpu") bare_memory+=("$run_kib")
            bare_private+=("$run_private_kib")
            bare_next+=("${run_next[@]}") bare_navigation+=("${run_navigation[@]}")
            ((run_outsiders > 0)) || bare_quiet_memory+=("$run_kib")
        fi
    done
done

# Memory read while other programs shared the engine's library is too low: those runs are left
# out, as long as each program keeps at least one.
if [ ${#velmo_quiet_memory[@]} -gt 0 ] && [ ${#bare_quiet_memory[@]} -gt 0 ]; then
    velmo_memory=("${velmo_quiet_memory[@]}") bare_memory=("${bare_quiet_memory[@]}")
    memory_note="Pss sur les passages sans autre processus du moteur web : ${#velmo_memory[@]} de Velmo, ${#bare_memory[@]} de la vue nue"
else
    memory_note="d'autres processus du moteur web tournaient à chaque passage : le Pss est sous-estimé, la mémoire privée ne l'est pas"
fi
# The targets: the start no slower than the bare view's (a picture page at most 1.25x), a next
# page at most 1.30x the bare view's own, the memory at most 1.05x.
time_target=1.00
[ "$kind" = pictures ] && time_target=1.25
echo "Charge de la machine : $(cut -d' ' -f1-3 /proc/loadavg)"
awk -v vt="$(printf '%s\n' "${velmo_times[@]}" | median)" \
    -v bt="$(printf '%s\n' "${bare_times[@]}" | median)" \
    -v vc="$(printf '%s\n' "${velmo_cpu[@]}" | median)" \
    -v bc="$(printf '%s\n' "${bare_cpu[@]}" | median)" \
    -v vm="$(printf '%s\n' "${velmo_memory[@]}" | median)" \
    -v bm="$(printf '%s\n' "${bare_memory[@]}" | median)" \
    -v vp="$(printf '%s\n' "${velmo_private[@]}" | median)" \
    -v bp="$(printf '%s\n' "${bare_private[@]}" | median)" \
    -v tt="$time_target" -v note="$memory_note" 'BEGIN {
    printf "\nMédianes        %12s %10s %10s %10s\n", "départ (ms)", "UC (ms)", "Pss (Mio)", "privée"
    printf "Velmo           %12.1f %10.0f %10.1f %10.1f\n", vt, vc, vm / 1024, vp / 1024
    printf "vue nue         %12.1f %10.0f %10.1f %10.1f\n", bt, bc, bm / 1024, bp / 1024
    printf "Velmo/vue nue   %11.3fx %9.3fx %9.3fx %9.3fx\n", vt / bt, vc / bc, vm / bm, vp / bp
    printf "cibles          %11.2fx %10s %9.2fx %9.2fx\n", tt, "-", 1.05, 1.05
    printf "départ : %s ; mémoire : %s\n", (vt / bt <= tt) ? "cible tenue" : "cible manquée",
        (vm / bm <= 1.05 && vp / bp <= 1.05) ? "cible tenue" : "cible manquée"
    print "(" note ")"
}'
if ((steps > 0)); then
    awk -v vn="$(printf '%s\n' "${velmo_next[@]}" | median)" \
        -v bn="$(printf '%s\n' "${bare_next[@]}" | median)" \
        -v va="$(printf '%s\n' "${velmo_navigation[@]}" | median)" \
        -v ba="$(printf '%s\n' "${bare_navigation[@]}" | median)" -v count="${#velmo_next[@]}" 'BEGIN {
        printf "\nPage suivante, médianes de %d pages %24s %20s\n", count, "touche→navigation (ms)", "touche→chargée (ms)"
        printf "Velmo           %44.1f %20.1f\n", va, vn
        printf "vue nue         %44.1f %20.1f\n", ba, bn
        printf "Velmo/vue nue   %65.3fx\n", vn / bn
        printf "cible           %65.2fx\n", 1.30
        printf "page suivante : %s\n", (vn / bn <= 1.30) ? "cible tenue" : "cible manquée"
    }'
fi
