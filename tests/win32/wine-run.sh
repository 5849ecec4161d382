#!/usr/bin/env bash
# Runs a console program of the Windows build under Wine, in the build's
# prefix, and returns its exit status.
#
#   wine-run.sh BUILD_DIR PROGRAM.exe [ARGS...]
export TESSEL_WIN32_BUILD=$(realpath "$1")
shift
source "$(dirname "$0")/wine-lib.sh"
status=0
wine "$@" || status=$?
exit "$status"
