#!/usr/bin/env bash
# Builds the Debian package from the build tree with CPack and checks its contents and control
# fields: the program, the launcher, the metadata and the icons in their freedesktop places, and
# dependencies on the Qt libraries the program needs.
# Usage: check-package.sh CPACK CPACK_CONFIG WORK_DIR VERSION SOURCE_RESOURCES_DIR
set -euo pipefail
cpack=$1 config=$2 work=$3 version=$4 resources=$5
id=org.ahnemetri.Ahnemetri

if ! command -v dpkg-deb >/dev/null; then
    echo "SKIP: dpkg-deb not found (package dpkg)"
    exit 77
fi
if [ ! -f "$config" ]; then
    echo "FAIL: $config is missing: is cmake/Packaging.cmake included?"
    exit 1
fi

status=0
fail() { echo "FAIL: $*"; status=1; }

rm -rf "$work"
mkdir -p "$work"
if ! "$cpack" -G DEB --config "$config" -B "$work" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAIL: cpack -G DEB failed"
    exit 1
fi

shopt -s nullglob
debs=("$work"/ahnemetri_*.deb)
if [ ${#debs[@]} -ne 1 ]; then
    cat "$work/cpack.log"
    echo "FAIL: expected one ahnemetri_*.deb in $work, found ${#debs[@]}"
    exit 1
fi
deb=${debs[0]}
echo "Package: $deb"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = ahnemetri ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', expected '$version'"
[ "$(field Section)" = games ] || fail "Section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
if command -v dpkg >/dev/null; then
    arch=$(dpkg --print-architecture)
    [ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)', expected '$arch'"
fi
depends=$(field Depends)
echo "Depends: $depends"
for lib in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins; do
    [[ ", $depends," == *", $lib "* || ", $depends," == *", $lib,"* ]] || fail "Depends lacks $lib"
done

listing=$(dpkg-deb -c "$deb")
# "mode owner/group size date time ./path" -> "mode path"
entries=$(awk '{ print $1, $6 }' <<<"$listing")
has() {
    grep -qxF -- "$1 ./$2" <<<"$entries" || fail "package lacks $2 (mode $1)"
}
has -rwxr-xr-x usr/bin/ahnemetri
has -rw-r--r-- usr/share/applications/$id.desktop
has -rw-r--r-- usr/share/metainfo/$id.metainfo.xml
has -rw-r--r-- usr/share/icons/hicolor/scalable/apps/ahnemetri.svg
for size in 16 24 32 48 64 128 256; do
    has -rw-r--r-- "usr/share/icons/hicolor/${size}x${size}/apps/ahnemetri.png"
done
# Nothing may land outside /usr (for example under a build-time prefix such as /usr/local).
stray=$(awk '$2 != "./" && $2 !~ /^\.\/usr\// { print $2 }' <<<"$entries")
[ -z "$stray" ] || fail "files outside /usr: $stray"
paths=$(awk '{ print $2 }' <<<"$entries")
if grep -q '^\./usr/local/' <<<"$paths"; then
    fail "files under /usr/local"
fi

# The installed data files are the ones in the source tree, byte for byte.
dpkg-deb -x "$deb" "$work/root"
same() {
    # A missing file has been reported above already.
    [ ! -e "$work/root/$2" ] || cmp -s "$1" "$work/root/$2" || fail "$2 differs from $1"
}
same "$resources/desktop/$id.desktop" "usr/share/applications/$id.desktop"
same "$resources/desktop/$id.metainfo.xml" "usr/share/metainfo/$id.metainfo.xml"
same "$resources/icons/ahnemetri.svg" usr/share/icons/hicolor/scalable/apps/ahnemetri.svg
for size in 16 24 32 48 64 128 256; do
    same "$resources/icons/hicolor/${size}x${size}/apps/ahnemetri.png" \
        "usr/share/icons/hicolor/${size}x${size}/apps/ahnemetri.png"
done
# The program itself is an executable for this machine, not a placeholder.
if [ -f "$work/root/usr/bin/ahnemetri" ]; then
    magic=$(head -c 4 "$work/root/usr/bin/ahnemetri" | od -An -tx1 | tr -d ' \n')
    [ "$magic" = 7f454c46 ] || fail "usr/bin/ahnemetri is not an ELF executable"
fi

if [ $status -ne 0 ]; then
    printf '%s\n' "$listing"
else
    echo "PASS: $(basename "$deb")"
fi
exit $status
