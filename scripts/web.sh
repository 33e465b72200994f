#!/usr/bin/env bash
# Builds Ahnemetri for the browser (WebAssembly) on Debian and tests it in headless Chromium:
#
#   sudo bash scripts/web.sh
#
# 1. The build runs in a Debian 13 system, which has emscripten and Qt 6.8's source: on Debian
#    13 the machine itself, on Debian 12 a minimal Debian 13 system bootstrapped once with
#    debootstrap and kept under AHNEMETRI_WEB_CACHE (default /var/cache/ahnemetri-web).
# 2. Qt for WebAssembly is built there once from Debian's own qt6-base source package (Debian's
#    patches applied), static, without threads, and kept in the cache; later runs reuse it.
# 3. The program is built for the browser (release, optimised for size, warnings as errors) in
#    build/web/program, and the site is put together in build/web/site: the page, the loader,
#    the program, the icons, the web app manifest and the service worker.
# 4. The browser tests (tests/web/) run in Debian's headless Chromium, driven by selenium and
#    chromium-driver, against the site served by a static server on 127.0.0.1. Screenshots of
#    every window are left in build/web/.
#
# Closes with a line "N passed, M failed" and exits non-zero on any failure.
# AHNEMETRI_WEB_SKIP_TESTS=1 builds the site without testing it; AHNEMETRI_WEB_BENCH=1 also
# builds the bare Qt window of the benchmarks (build/web/bench).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
cache=${AHNEMETRI_WEB_CACHE:-/var/cache/ahnemetri-web}

started=$(date +%s)
say() { printf '\n== web: %s\n' "$*"; }
elapsed() {
    local seconds=$(($(date +%s) - started))
    printf '%d min %02d s' $((seconds / 60)) $((seconds % 60))
}

# --- Inside the Debian 13 system: Qt for WebAssembly and the program ------------------------------

# What the build needs in the Debian 13 system.
# dpkg-dev unpacks Qt's source package; qt6-translations-l10n has Qt's Finnish texts; gzip and
# brotli make the site's compressed copies.
build_system_packages=(emscripten qt6-base-dev qt6-base-dev-tools qt6-translations-l10n cmake
    ninja-build dpkg-dev ca-certificates gzip brotli)

# Debian's emscripten comes with its system libraries prebuilt in a read-only cache. A copy of
# it that emscripten may add to builds any variant that the prebuilt ones lack; nothing is
# downloaded.
use_emscripten_cache() {
    export EMSDK=/usr/share/emscripten
    local frozen
    frozen=$(em-config CACHE 2>/dev/null || echo /usr/share/emscripten/cache)
    if [ ! -d "$cache/emscripten-cache" ]; then
        cp -a "$frozen/." "$cache/emscripten-cache.new"
        mv "$cache/emscripten-cache.new" "$cache/emscripten-cache"
    fi
    export EM_CACHE=$cache/emscripten-cache EM_FROZEN_CACHE=
}

# Static, one thread, only what a Widgets program uses: each part left out is code that no
# visitor downloads (bench/README.md weighs them). Debian's source leaves sqlite out, whose
# licence file the SQL module's configure reads, hence no SQL.
qt_options=(-platform wasm-emscripten -qt-host-path /usr -release -static -optimize-size
    -opensource -confirm-license -nomake examples -nomake tests
    -no-feature-thread -no-feature-sql -no-feature-network -no-feature-xml
    -no-feature-printsupport -no-feature-concurrent -no-feature-testlib -no-feature-jpeg
    -no-feature-gif -no-feature-ico -no-feature-movie -no-feature-pdf
    -no-feature-textmarkdownreader -no-feature-textmarkdownwriter -no-feature-textodfwriter
    -no-feature-colordialog -no-feature-fontdialog -no-feature-filedialog -no-feature-wizard
    -no-feature-mdiarea -no-feature-calendarwidget -no-feature-datetimeedit -no-feature-dial
    -no-feature-lcdnumber -no-feature-splashscreen
    -no-feature-style-images -no-feature-style-stylesheet
    -no-feature-mimetype -no-feature-xmlstream -no-feature-settings -no-feature-hijricalendar
    -no-feature-jalalicalendar -no-feature-graphicsview -no-feature-itemviews
    -no-feature-dockwidget -no-feature-toolbar -no-feature-tabbar -no-feature-tabwidget
    -no-feature-gestures -no-feature-texthtmlparser -no-feature-cssparser
    -no-feature-imageformat_bmp -no-feature-imageformat_ppm
    -no-feature-imageformat_xbm)

# Qt as built here: its source version, these options and our patches. A change to any of
# them builds Qt anew.
qt_recipe() { # source-version
    echo "qt6-base $1"
    echo "${qt_options[*]}"
    cat scripts/web/*.patch | sha256sum
}

# Beside Qt, the licences that the site carries.
keep_qt_licences() { # source work
    mkdir -p "$qt_prefix/licenses"
    cp "$1"/LICENSES/*.txt "$qt_prefix/licenses/"
    cp "$1/debian/copyright" "$qt_prefix/licenses/debian-copyright.txt"
}

# Runs in the Debian 13 system: Qt (once), then the program, into build/web.
inside_build_system() {
    . scripts/ensure-packages.sh
    ensure_packages "${build_system_packages[@]}"
    mkdir -p "$cache"
    use_emscripten_cache
    . scripts/qt-from-debian.sh
    local version
    version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
    qt_prefix=$cache/qt6-base-$version-wasm
    if qt_is_built "$qt_prefix" "$(qt_recipe "$version")"; then
        say "Qt $version for WebAssembly from $qt_prefix"
    else
        say "building Qt $version for WebAssembly from Debian's source (once; about 25 minutes on 2 cores)"
        # The program's own fixes on top of Debian's patches.
        QT_PATCHES=(scripts/web/*.patch)
        build_qt_from_debian "$cache/qt-work" "$qt_prefix" "$version" "$(qt_recipe "$version")" \
            keep_qt_licences "${qt_options[@]}" -- -G Ninja \
            -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake"
    fi
    say "Qt ready after $(elapsed)"
    export AHNEMETRI_WEB_QT=$qt_prefix

    say "the program for the browser"
    cmake --preset web >/dev/null
    cmake --build --preset web --parallel "$(nproc)"
    rm -rf build/web/site
    cmake --install build/web/program --prefix build/web/site >/dev/null
    cp "$qt_prefix"/licenses/*.txt build/web/site/licenses/
    if [ "${AHNEMETRI_WEB_BENCH:-0}" = 1 ]; then
        say "the bare Qt window of the benchmarks"
        "$qt_prefix/bin/qt-cmake" -S bench/web -B build/web/bench-build -G Ninja \
            -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_CXX_FLAGS_MINSIZEREL="-Oz -DNDEBUG" >/dev/null
        cmake --build build/web/bench-build --parallel "$(nproc)"
        rm -rf build/web/bench
        cmake --install build/web/bench-build --prefix build/web/bench >/dev/null
    fi
    exit 0
}

if [ "${1:-}" = --inside-build-system ]; then
    inside_build_system
fi

# --- On the machine itself -----------------------------------------------------------------------

if [ "$(id -u)" -ne 0 ]; then
    echo "$0: installing packages and bootstrapping need root; run it with sudo" >&2
    exit 2
fi
. scripts/ensure-packages.sh
. /etc/os-release
mkdir -p "$cache"

ensure_packages chromium chromium-driver python3-selenium brotli gzip cmake

if [ "${VERSION_ID:-}" -ge 13 ] 2>/dev/null; then
    say "building on this Debian ${VERSION_ID} machine"
    AHNEMETRI_WEB_CACHE=$cache bash scripts/web.sh --inside-build-system
else
    # A Debian 13 system of its own, bootstrapped once and kept; the repository is mounted into
    # it for the build, so that the build's output lands in build/web here.
    ensure_packages debootstrap
    root=$cache/trixie
    if [ ! -f "$root/.ready" ]; then
        say "bootstrapping a Debian 13 build system in $root (once)"
        rm -rf --one-file-system "$root"
        mirror=()
        [ -n "${DEBIAN_MIRROR:-}" ] && mirror=("$DEBIAN_MIRROR")
        debootstrap --variant=minbase --include=ca-certificates trixie "$root" "${mirror[@]}"
        printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
        chmod +x "$root/usr/sbin/policy-rc.d"
        touch "$root/.ready"
    fi
    . scripts/system-mounts.sh
    trap unmount_all EXIT
    mkdir -p "$root/ahnemetri"
    mount_system "$root"
    mount_into --bind "$repo" "$root/ahnemetri"
    cp -L /etc/resolv.conf "$root/etc/resolv.conf"
    chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        AHNEMETRI_WEB_CACHE=/var/cache/ahnemetri-web AHNEMETRI_WEB_BENCH="${AHNEMETRI_WEB_BENCH:-0}" \
        bash -c 'cd /ahnemetri && bash scripts/web.sh --inside-build-system'
    unmount_all
fi

say "site built after $(elapsed): build/web/site"

# What a visitor's browser fetches, as a static server sends it: raw, and compressed as servers
# compress on the fly (gzip) or ahead of time (brotli).
weigh() {
    local file total_raw=0 total_gzip=0 total_brotli=0 raw gz br
    printf '  %-28s %10s %10s %10s\n' file bytes gzip brotli
    while read -r file; do
        raw=$(stat -c %s "$file")
        gz=$(gzip -9 -c "$file" | wc -c)
        br=$(brotli -c "$file" | wc -c)
        total_raw=$((total_raw + raw)) total_gzip=$((total_gzip + gz)) total_brotli=$((total_brotli + br))
        printf '  %-28s %10d %10d %10d\n' "${file#build/web/site/}" "$raw" "$gz" "$br"
    done < <(find build/web/site -type f ! -path '*/licenses/*' ! -name '*.gz' ! -name '*.br' | sort)
    printf '  %-28s %10d %10d %10d\n' "all that the page fetches" "$total_raw" "$total_gzip" "$total_brotli"
    echo "$total_gzip" >build/web/site-gzip-bytes
}
weigh

status=0
if [ "${AHNEMETRI_WEB_SKIP_TESTS:-0}" != 1 ]; then
    say "browser tests in headless Chromium"
    /usr/bin/python3 tests/web/test_site.py build/web 2>&1 | tee build/web/tests.log ||
        status=1
fi
if [ "${AHNEMETRI_WEB_BENCH:-0}" = 1 ]; then
    say "start-up beside a bare Qt window"
    /usr/bin/python3 bench/web/bench_web.py build/web || status=1
fi
say "done after $(elapsed)"
if [ "${AHNEMETRI_WEB_SKIP_TESTS:-0}" = 1 ]; then
    echo "browser tests skipped"
else
    tail -n 1 build/web/tests.log
fi
exit "$status"
