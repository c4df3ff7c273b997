#!/usr/bin/env bash
# The release package: `cpack --preset windows` writes Tolvane-0.6f-win64.zip, which holds
# Tolvane.exe as built and README.txt, nothing else (no test tools).
# Usage: check-package.sh SOURCE_DIR BUILD_DIR
set -u
source_dir=$1 build_dir=$2
zip=$build_dir/Tolvane-0.6f-win64.zip
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rm -f "$zip"
(cd "$source_dir" && cpack --preset windows -B "$build_dir") >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    echo "cpack --preset windows failed"
    exit 1
}
mkdir "$work/zip"
(cd "$work/zip" && cmake -E tar xf "$zip") || {
    echo "cannot unpack $zip"
    exit 1
}
names=$(cd "$work/zip" && find . -mindepth 1 | sed 's|^\./||' | sort | paste -sd ' ')
status=0
[[ $names == "README.txt Tolvane.exe" ]] || {
    echo "$zip holds \"$names\", not \"README.txt Tolvane.exe\""
    status=1
}
cmp -s "$work/zip/Tolvane.exe" "$build_dir/Tolvane.exe" || {
    echo "the Tolvane.exe in $zip is not the one in $build_dir"
    status=1
}
echo "$(basename "$zip"): $names"
exit $status
