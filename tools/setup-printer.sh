#!/usr/bin/env bash
# Makes the CUPS PDF printer ready for the printing tests: starts the CUPS
# scheduler when it is not running and adds a printer "PDF" on cups-pdf as
# the default when it is missing. Installs nothing; safe to run again.
# Prints the folder where the printed PDFs land.
set -euo pipefail

for tool in cupsd lpadmin lpstat; do
  command -v "$tool" >/dev/null || { echo "CUPS is not installed ($tool missing)" >&2; exit 1; }
done
ppd=$(dpkg -L printer-driver-cups-pdf 2>/dev/null | grep 'CUPS-PDF_opt.ppd$' | head -n 1 || true)
[ -n "$ppd" ] || { echo "cups-pdf is not installed (printer-driver-cups-pdf)" >&2; exit 1; }

scheduler_up() { lpstat -r 2>/dev/null | grep -q 'is running'; }

if ! scheduler_up; then
  if command -v service >/dev/null && service cups start >/dev/null 2>&1; then :; else cupsd; fi
  for _ in $(seq 50); do scheduler_up && break; sleep 0.1; done
  scheduler_up || { echo "The CUPS scheduler did not start" >&2; exit 1; }
fi

if ! lpstat -p PDF >/dev/null 2>&1; then
  lpadmin -p PDF -v cups-pdf:/ -E -P "$ppd"
fi
if [ "$(lpstat -d 2>/dev/null | sed -n 's/^system default destination: //p')" != PDF ]; then
  lpadmin -d PDF
fi

# cups-pdf writes to the "Out" folder of its configuration, ${HOME} being
# the home of the user who printed.
out=$(sed -n 's/^Out[[:space:]]\+//p' /etc/cups/cups-pdf.conf 2>/dev/null | tail -n 1)
out=${out:-'${HOME}/PDF'}
echo "PDF printer ready; printed files land in ${out//'${HOME}'/$HOME}"
