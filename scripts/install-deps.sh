#!/bin/sh
# Installs the Debian packages the build, the tests and `make run` need
# (or the packages named as arguments), but only when one of them is
# missing, so a machine that has them all pays nothing.  Run as root (or
# through sudo) on Debian 12 or later.
set -eu

# libqt6svg6: the desktop program's icons and logo are SVG resources, which
# Qt draws through that package's icon engine.  Picture files never reach
# its SVG reader: they are read only as PNG, JPEG, BMP or GIF, told apart by
# their content (src/sheet/qt/picture_file.h).
#
# dpkg-dev and file: `make package` works out the package's dependencies
# with dpkg-shlibdeps; desktop-file-utils and shared-mime-info: the package
# test checks the desktop entry and the file types it installs.  cups and
# printer-driver-cups-pdf: the print test prints through a real CUPS queue
# whose pages arrive as a PDF (.ci/run starts the daemon and adds it).
# The font packages hold the Debian faces the surface maps Windows font
# names to (src/surface/font_mapping.cpp).  lua5.4: `make bench` sets the
# engine beside it; ccache: the Makefile compiles through it when present.
PACKAGES="$*"
[ -n "$PACKAGES" ] || PACKAGES="build-essential cmake ninja-build pkg-config \
qt6-base-dev qt6-base-dev-tools libqt6svg6 \
libgtest-dev libgmock-dev \
fonts-liberation2 fonts-liberation fonts-crosextra-carlito fonts-crosextra-caladea \
fonts-urw-base35 fonts-dejavu-core fonts-dejavu-extra fonts-comic-neue fonts-ebgaramond fonts-wine \
fontconfig poppler-utils xvfb xauth \
dpkg-dev file desktop-file-utils shared-mime-info \
cups printer-driver-cups-pdf ccache lua5.4"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

echo "install-deps: installing$missing" >&2
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then SUDO="sudo"; else
        echo "install-deps: missing packages:$missing (run as root to install them)" >&2
        exit 1
    fi
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
