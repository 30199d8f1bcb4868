#!/usr/bin/env bash
# Prepares a CUPS scheduler for the printing tests: starts cupsd when it is not running and adds
# the cups-pdf queue VelmoPDF, writing its PDFs into the folder given, named job_<id>-<title>.pdf.
# Idempotent, installs nothing. When it cannot (not root, CUPS or cups-pdf missing), it says why in
# <folder>/unavailable and still succeeds, so that the tests skip with that reason.
# Usage: start-cups.sh OUTPUT_FOLDER
set -uo pipefail

output=${1:?usage: start-cups.sh OUTPUT_FOLDER}
queue=VelmoPDF
# Only the scheduler of this system, through its socket: lpstat would otherwise try localhost:631,
# where a scheduler of another system (a host sharing its network with a container) may answer.
export CUPS_SERVER=/run/cups/cups.sock
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd
mkdir -p "$output"
rm -f "$output/unavailable"

unavailable() {
    echo "$*" | tee "$output/unavailable"
    exit 0
}

scheduler_running() {
    LC_ALL=C lpstat -r 2>/dev/null | grep -q 'is running'
}

for tool in cupsd lpadmin lpstat; do
    command -v "$tool" >/dev/null || unavailable "$tool not found: install cups"
done
[ -f "$ppd" ] && [ -e /usr/lib/cups/backend/cups-pdf ] ||
    unavailable "cups-pdf not found: install printer-driver-cups-pdf"
[ "$(id -u)" -eq 0 ] || unavailable "only root can start cupsd and add a queue"

# A device URI cups-pdf:/velmo makes cups-pdf read cups-pdf-velmo.conf: the shared cups-pdf.conf,
# and whatever queue uses it, stay untouched, and nothing is written under a home folder.
output=$(cd "$output" && pwd)
printf 'Out %s\nLabel 1\n' "$output" >/etc/cups/cups-pdf-velmo.conf

if ! scheduler_running; then
    cupsd || unavailable "cupsd did not start"
    for _ in $(seq 50); do
        scheduler_running && break
        sleep 0.2
    done
    scheduler_running || unavailable "cupsd started but does not answer"
fi

lpadmin -p "$queue" -E -v cups-pdf:/velmo -P "$ppd" 2>/dev/null ||
    unavailable "lpadmin could not add the queue $queue"
# The tests name the queue in LPDEST; it becomes the system default only if there is none, so a
# real default printer is left alone.
if ! LC_ALL=C lpstat -d 2>/dev/null | grep -q 'system default destination:'; then
    lpadmin -d "$queue" || unavailable "lpadmin could not make $queue the default"
fi
echo "CUPS scheduler running, queue $queue writes into $output"
