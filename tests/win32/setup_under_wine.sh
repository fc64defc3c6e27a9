#!/usr/bin/env bash
# Runs the setup's tests in a Wine prefix made fresh for them, as a new user's PC is: nothing of
# Spurlese installed, no shortcut, no uninstall key.
#     setup_under_wine.sh <build folder> <setup_tests.exe> <version> [test arguments]
set -euo pipefail
build=$1
exe=$2
version=$3
shift 3
export SPURLESE_WINEPREFIX=$build/setup-prefix
rm -rf "$SPURLESE_WINEPREFIX"
export SPURLESE_SETUP_NEW="Z:$(echo "$build/setup/Spurlese-$version-setup.exe" | tr / '\\')"
export SPURLESE_SETUP_OLD="Z:$(echo "$build/setup/Spurlese-0.0.1-setup.exe" | tr / '\\')"
export SPURLESE_SETUP_VERSION=$version
exec "$(dirname "$0")/../../scripts/wine_run" "$exe" "$@"
