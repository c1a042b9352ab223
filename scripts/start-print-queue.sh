#!/bin/sh
# Makes sure a CUPS queue whose pages arrive as PDF files is there, for the
# print test: starts the CUPS daemon when none answers, then adds the queue
# (printer-driver-cups-pdf's) when it is missing.  The PDFs arrive where
# "Out" in /etc/cups/cups-pdf.conf says: by default the PDF folder in the
# home of the user who printed (/root/PDF for root).  Run as root or
# through sudo, after scripts/install-deps.sh.
#   scripts/start-print-queue.sh [QUEUE]    (default: quillet-pdf)
set -eu
QUEUE="${1:-quillet-pdf}"
export LC_ALL=C # lpstat's answers are read below

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then SUDO="sudo"; else
        echo "start-print-queue: run as root to start CUPS and add the queue" >&2
        exit 1
    fi
fi

scheduler_running() {
    lpstat -r 2>/dev/null | grep -q "^scheduler is running"
}

if ! scheduler_running; then
    echo "start-print-queue: starting the CUPS daemon" >&2
    if [ -d /run/systemd/system ]; then
        $SUDO systemctl start cups
    else
        $SUDO /usr/sbin/cupsd # goes into the background once it listens
    fi
    tries=0
    until scheduler_running; do
        tries=$((tries + 1))
        if [ "$tries" -gt 30 ]; then
            echo "start-print-queue: the CUPS daemon did not start (see /var/log/cups/error_log)" >&2
            exit 1
        fi
        sleep 1
    done
fi

if ! lpstat -v "$QUEUE" >/dev/null 2>&1; then
    echo "start-print-queue: adding the PDF queue $QUEUE" >&2
    # lpadmin warns that PPD drivers are deprecated even when it succeeds:
    # its words are shown only when it fails.
    if ! said=$($SUDO lpadmin -p "$QUEUE" -v cups-pdf:/ -E -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>&1); then
        echo "$said" >&2
        exit 1
    fi
fi
# The PDF a program prints goes to cups-pdf as PostScript; made with
# Ghostscript, the default, its fonts come back as pictures of letters
# whose text cannot be read out of the PDF.  pdftocairo keeps them fonts.
$SUDO lpadmin -p "$QUEUE" -o pdftops-renderer-default=pdftocairo
$SUDO cupsenable "$QUEUE"
$SUDO cupsaccept "$QUEUE"
lpstat -v "$QUEUE"
