#!/usr/bin/env bash
# Installs the desktop component into a temporary prefix, validates the .desktop entries and
# the AppStream file with the desktop's own tools, and checks that the file types installed
# there name Corvex's types for sample files, by name and (".vxm", ".mid") by content.
# Usage: desktop_files_test.sh BUILD_DIR WORK_DIR. Exit 77 (skipped) when a tool is missing.
set -euo pipefail
build=$1
work=$2

for tool in desktop-file-validate appstreamcli update-mime-database xdg-mime mimetype; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is not installed (scripts/setup installs it)"
        exit 77
    fi
done

rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" --component desktop >/dev/null
share=$prefix/share

fail() {
    echo "FAILED: $*"
    exit 1
}

for file in applications/corvex.desktop applications/tunelet.desktop mime/packages/corvex.xml \
    metainfo/org.corvex.Corvex.metainfo.xml; do
    [ -f "$share/$file" ] || fail "share/$file was not installed"
done
for size in 16 22 24 32 48 64 128 256; do
    for program in corvex tunelet; do
        icon=$share/icons/hicolor/${size}x${size}/apps/$program.png
        [ -f "$icon" ] || fail "no ${size}x${size} icon for $program"
        # The PNG header holds width and height as big-endian words at bytes 16 and 20.
        read -r width height < <(od -An -tu1 -j16 -N8 "$icon" |
            awk '{print $3 * 256 + $4, $7 * 256 + $8}')
        [ "$width" = "$size" ] && [ "$height" = "$size" ] ||
            fail "$icon is ${width}x${height}, not ${size}x${size}"
    done
done

desktop-file-validate "$share/applications/corvex.desktop" "$share/applications/tunelet.desktop" ||
    fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/org.corvex.Corvex.metainfo.xml" >"$work/appstream.txt" ||
    { cat "$work/appstream.txt"; fail "appstreamcli validate"; }

XDG_DATA_DIRS=$share update-mime-database "$share/mime"
samples=$work/samples
mkdir -p "$samples"
printf 'CvxMap\005\000\000\000\000\000\000\000\000\000' >"$samples/rewrite.vxm"
printf 'CvxMap\005\000\000\000\000\000\000\000\000\000' >"$samples/map-without-extension"
printf 'MThd\000\000\000\006\000\000\000\001\000\140' >"$samples/song.mid"
printf '\360\176\177\011\001\367' >"$samples/dump.syx"
printf 'snapshot' >"$samples/channels.mxs"
printf 'patches' >"$samples/set.pmi"
printf 'Map Name: transpose\n' >"$samples/rewrite.txm"

expect() {
    local file=$1 type=$2 found
    found=$(XDG_DATA_HOME=$work/empty XDG_DATA_DIRS=$share:/usr/share xdg-mime query filetype "$samples/$file")
    found=${found%%;*}
    [ "$found" = "$type" ] || fail "$file is \"$found\", expected \"$type\""
}
expect rewrite.vxm application/x-corvex-map
expect map-without-extension application/x-corvex-map
expect song.mid audio/midi
expect dump.syx application/x-corvex-sysex
expect channels.mxs application/x-corvex-snapshot
expect set.pmi application/x-corvex-patch-map
expect rewrite.txm text/x-corvex-text-map
echo "desktop files valid; file types recognised"
