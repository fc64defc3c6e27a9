#!/usr/bin/env bash
# Makes a real archive tree for tests/win32/archive_walk_test.cpp and runs the test on it under
# Wine: a symbolic link back to the archive (a loop), one out of it, and a folder nobody may list.
# CI runs as root, who may list every folder, so the test runs without the two capabilities that
# allow it.
#     walk_under_wine.sh <build folder> <test executable> [test arguments]
set -euo pipefail
build=$1
exe=$2
shift 2
tree=$build/walk-tree
outside=$build/walk-outside
[ -d "$tree" ] && chmod -R u+rwx "$tree"
rm -rf "$tree" "$outside"
trip="$tree/Urlaub 2019 – Italien"
mkdir -p "$trip/Tag 1" "$tree/Gesperrt" "$outside"
touch "$tree/a.JPG" "$tree/b.txt" "$trip/IMG_0815.jpg" "$trip/Tag 1/clip.MOV" \
      "$tree/Gesperrt/c.jpg" "$outside/d.jpg"
ln -s .. "$trip/Zurück"
ln -s "$outside" "$tree/Extern"
chmod 000 "$tree/Gesperrt"
export SPURLESE_WALK_TREE="Z:$(echo "$tree" | tr / '\\')"
exec setpriv --bounding-set=-dac_override,-dac_read_search \
    "$(dirname "$0")/../../scripts/wine_run" "$exe" "$@"
