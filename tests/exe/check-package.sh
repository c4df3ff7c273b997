#!/usr/bin/env bash
# The release package: `cpack --preset windows` writes Tolvane-0.6f-win64.zip, which holds
# Tolvane.exe as built, README.txt and LICENSE.txt, nothing else (no test tools). The two texts
# are docs/package-readme.txt and LICENSE with CRLF ending every line, so that every Windows
# editor shows their lines. Packed again after its text inputs got new file times, the zip is
# the same byte for byte.
# Usage: check-package.sh SOURCE_DIR BUILD_DIR
set -u
source_dir=$1 build_dir=$2
zip=$build_dir/Tolvane-0.6f-win64.zip
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

pack() {
    rm -f "$zip"
    (cd "$source_dir" && cpack --preset windows -B "$build_dir") >"$work/cpack.log" 2>&1 || {
        cat "$work/cpack.log"
        echo "cpack --preset windows failed"
        exit 1
    }
}

pack
mkdir "$work/zip"
(cd "$work/zip" && cmake -E tar xf "$zip") || {
    echo "cannot unpack $zip"
    exit 1
}
names=$(cd "$work/zip" && find . -mindepth 1 | sed 's|^\./||' | sort | paste -sd ' ')
status=0
[[ $names == "LICENSE.txt README.txt Tolvane.exe" ]] || {
    echo "$zip holds \"$names\", not \"LICENSE.txt README.txt Tolvane.exe\""
    status=1
}
cmp -s "$work/zip/Tolvane.exe" "$build_dir/Tolvane.exe" || {
    echo "the Tolvane.exe in $zip is not the one in $build_dir"
    status=1
}
for pair in README.txt:docs/package-readme.txt LICENSE.txt:LICENSE; do
    name=${pair%%:*} source=${pair#*:}
    [[ -f $work/zip/$name ]] || continue
    bare=$(grep -cv $'\r$' "$work/zip/$name")
    ((bare == 0)) || {
        echo "$name in the zip: expected CRLF ending every line, got $bare lines without the CR"
        status=1
    }
    tr -d '\r' <"$work/zip/$name" | cmp -s - "$source_dir/$source" || {
        echo "$name in the zip: expected $source with CRLF line endings, got other text:"
        tr -d '\r' <"$work/zip/$name" | diff "$source_dir/$source" - | head -n 5
        status=1
    }
done

# What differs between two packings is the inputs' file times, as a fresh build's would.
cp "$zip" "$work/first.zip"
sleep 2
touch -c "$build_dir/package/README.txt" "$build_dir/package/LICENSE.txt"
pack
cmp -s "$work/first.zip" "$zip" || {
    echo "expected the same zip from a second cpack, got another ($(cmp "$work/first.zip" "$zip"))"
    status=1
}
echo "$(basename "$zip"): $names"
exit $status
