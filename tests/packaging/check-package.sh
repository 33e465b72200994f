#!/usr/bin/env bash
# Builds the Debian package from the build tree with CPack and checks its contents and control
# fields: the program in /usr/games, the launcher, the metadata and the icons in their
# freedesktop places, the manual page, the licence and the changelog; dependencies on the Qt
# libraries the program needs, each named once; a program linked without a search path of its
# own and hardened (PIE, relro, BIND_NOW); the same package when made again from files of other
# times; and lintian with no error and no warning.
# Usage: check-package.sh CPACK CPACK_CONFIG WORK_DIR VERSION SOURCE_RESOURCES_DIR GENERATED_DIR
set -euo pipefail
cpack=$1 config=$2 work=$3 version=$4 resources=$5 generated=$6
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
# Debian 13 names the core library's package libqt6core6t64 (64-bit time_t), and
# dpkg-shlibdeps writes that name there.
for lib in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins qt6-translations-l10n; do
    named=", $lib(t64)?[ ,]"
    [[ ", $depends," =~ $named ]] || fail "Depends lacks $lib"
done
twice=$(sed 's/, /\n/g' <<<"$depends" | awk '{ print $1 }' | sort | uniq -d)
[ -z "$twice" ] || fail "Depends names more than once: $twice"

listing=$(dpkg-deb -c "$deb")
# "mode owner/group size date time ./path" -> "mode path"
entries=$(awk '{ print $1, $6 }' <<<"$listing")
has() {
    grep -qxF -- "$1 ./$2" <<<"$entries" || fail "package lacks $2 (mode $1)"
}
has -rwxr-xr-x usr/games/ahnemetri
has -rw-r--r-- usr/share/man/man6/ahnemetri.6.gz
has -rw-r--r-- usr/share/doc/ahnemetri/copyright
has -rw-r--r-- usr/share/doc/ahnemetri/changelog.gz
has -rw-r--r-- usr/share/applications/$id.desktop
has -rw-r--r-- usr/share/metainfo/$id.metainfo.xml
for icon in ahnemetri $id; do
    has -rw-r--r-- usr/share/icons/hicolor/scalable/apps/$icon.svg
    for size in 16 24 32 48 64 128 256; do
        has -rw-r--r-- "usr/share/icons/hicolor/${size}x${size}/apps/$icon.png"
    done
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
same "$generated/$id.metainfo.xml" "usr/share/metainfo/$id.metainfo.xml"
same "$generated/copyright" usr/share/doc/ahnemetri/copyright
for icon in ahnemetri $id; do
    same "$resources/icons/ahnemetri.svg" usr/share/icons/hicolor/scalable/apps/$icon.svg
    for size in 16 24 32 48 64 128 256; do
        same "$resources/icons/hicolor/${size}x${size}/apps/ahnemetri.png" \
            "usr/share/icons/hicolor/${size}x${size}/apps/$icon.png"
    done
done
unzipped() {
    [ ! -e "$work/root/$2" ] || gzip -dc "$work/root/$2" | cmp -s "$1" - || fail "$2 is not $1 compressed"
}
unzipped "$generated/ahnemetri.6" usr/share/man/man6/ahnemetri.6.gz
unzipped "$generated/changelog" usr/share/doc/ahnemetri/changelog.gz

# The program itself is an executable for this machine, not a placeholder, and finds its
# libraries where the system keeps them.
program="$work/root/usr/games/ahnemetri"
if [ -f "$program" ]; then
    magic=$(head -c 4 "$program" | od -An -tx1 | tr -d ' \n')
    [ "$magic" = 7f454c46 ] || fail "usr/games/ahnemetri is not an ELF executable"
    if command -v readelf >/dev/null; then
        dynamic=$(readelf -dW "$program")
        ! grep -qE '\((RPATH|RUNPATH)\)' <<<"$dynamic" || fail "the program carries a library search path"
        grep -qE '\(FLAGS\).*BIND_NOW|\(FLAGS_1\).*NOW' <<<"$dynamic" || fail "the program is not linked with BIND_NOW"
        grep -qE '\(FLAGS_1\).*PIE' <<<"$dynamic" || fail "the program is not a position-independent executable"
        readelf -lW "$program" | grep -q GNU_RELRO || fail "the program has no read-only relocations (relro)"
    fi
fi

# Made again from the same build at another moment and from files of other times, the package
# is the same byte for byte: every time stamp in it is the release's (SOURCE_DATE_EPOCH).
touch -d '2001-02-03 04:05:06' "$generated"/*
again="$work/again"
mkdir -p "$again"
if "$cpack" -G DEB --config "$config" -B "$again" >"$again/cpack.log" 2>&1; then
    cmp -s "$deb" "$again/$(basename "$deb")" \
        || fail "the package made a second time differs from the first"
else
    cat "$again/cpack.log"
    fail "cpack -G DEB failed the second time"
fi

if [ $status -ne 0 ]; then
    printf '%s\n' "$listing"
fi

# lintian: informational tags are shown but allowed; errors and warnings are not.
if ! command -v lintian >/dev/null; then
    echo "SKIP: lintian not found (package lintian; scripts/test.sh installs it)"
    [ $status -eq 0 ] && exit 77
    exit $status
fi
report=$(lintian --info --no-tag-display-limit "$deb" 2>&1 | grep -v 'running with root privileges' || true)
[ -z "$report" ] || printf '%s\n' "$report"
if grep -qE '^[EW]: ' <<<"$report"; then
    fail "lintian reports errors or warnings"
fi

[ $status -eq 0 ] && echo "PASS: $(basename "$deb")"
exit $status
