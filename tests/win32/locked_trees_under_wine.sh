#!/usr/bin/env bash
# Makes real folders that the in-memory file system only models and runs a test on them under
# Wine: for tests/win32/archive_walk_test.cpp an archive tree with a symbolic link back to the
# archive (a loop), one out of it, and a folder nobody may list; for the copy's end-to-end test a
# target folder nobody may write to, with such a subfolder. CI runs as root, who may list and
# write every folder, so the test runs without the two capabilities that allow it.
#     locked_trees_under_wine.sh <build folder> <test executable> [test arguments]
set -euo pipefail
build=$1
exe=$2
shift 2
tree=$build/walk-tree
outside=$build/walk-outside
target=$build/locked-target
for folder in "$tree" "$target"; do
    [ -d "$folder" ] && chmod -R u+rwx "$folder"
done
rm -rf "$tree" "$outside" "$target"
trip="$tree/Urlaub 2019 – Italien"
mkdir -p "$trip/Tag 1" "$tree/Gesperrt" "$outside" "$target/Geburtstag Jürgen"
touch "$tree/a.JPG" "$tree/b.txt" "$trip/IMG_0815.jpg" "$trip/Tag 1/clip.MOV" \
      "$tree/Gesperrt/c.jpg" "$outside/d.jpg"
ln -s .. "$trip/Zurück"
ln -s "$outside" "$tree/Extern"
chmod 000 "$tree/Gesperrt"
chmod 555 "$target/Geburtstag Jürgen" "$target"
export SPURLESE_WALK_TREE="Z:$(echo "$tree" | tr / '\\')"
export SPURLESE_LOCKED_TARGET="Z:$(echo "$target" | tr / '\\')"
exec setpriv --bounding-set=-dac_override,-dac_read_search \
    "$(dirname "$0")/../../scripts/wine_run" "$exe" "$@"
