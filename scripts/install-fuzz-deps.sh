#!/bin/sh
# Installs what the fuzz targets need beyond the ordinary build (clang with
# libFuzzer and the sanitizer runtimes), only when something is missing.
# Run as root (or through sudo) on Debian 12 or later.
set -eu

PACKAGES="clang libclang-rt-14-dev"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

echo "install-fuzz-deps: installing$missing" >&2
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then SUDO="sudo"; else
        echo "install-fuzz-deps: missing packages:$missing (run as root to install them)" >&2
        exit 1
    fi
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
