#!/bin/sh
# Installs what the fuzz targets need beyond the ordinary build (clang with
# libFuzzer and the sanitizer runtimes), only when something is missing.
set -eu
exec sh "$(dirname "$0")/install-deps.sh" clang libclang-rt-14-dev
