#!/usr/bin/env bash
# Builds Ahnemetri for 64-bit Windows on Debian, tests it under Wine and packages it:
#
#   sudo bash scripts/windows.sh
#
# 1. Installs what it needs from Debian's archive: the MinGW-w64 cross compiler (POSIX
#    threads), Wine, NSIS, and the host Qt whose tools (moc, rcc, uic) the cross build uses.
# 2. Builds Qt for Windows from Debian's own Qt source package (the version of the host Qt,
#    Debian's patches applied) once and keeps it under AHNEMETRI_WINDOWS_CACHE (default
#    /var/cache/ahnemetri-windows); later runs reuse it. A deb-src entry is added for the
#    archive the system already uses when there is none.
# 3. Builds the program and its tests for Windows (release, warnings as errors) in
#    build/windows, runs the tests under Wine with the offscreen platform, and builds the
#    installer and the zip in build/windows/packages.
#
# 4. Installs the program under Wine, takes a whole test in it by keyboard and reads at four
#    steps what a Windows screen reader is given through UI Automation (build/windows/uia/).
#    Wine serves a UI Automation client from version 10 on: on an older Wine (Debian 12's 8.0)
#    the installed program runs under the Wine of a minimal Debian 13 system, bootstrapped once
#    with debootstrap and kept under AHNEMETRI_WINDOWS_CACHE.
#
# Closes with a line "N passed, M failed" and exits non-zero on any failure.
# AHNEMETRI_WINDOWS_SKIP_TESTS=1 leaves the Wine run out (the packages are still built).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
. scripts/ensure-packages.sh

started=$(date +%s)
say() { printf '\n== windows: %s\n' "$*"; }
elapsed() {
    local seconds=$(($(date +%s) - started))
    printf '%d min %02d s' $((seconds / 60)) $((seconds % 60))
}

ensure_packages "${BUILD_PACKAGES[@]}" qt6-translations-l10n dpkg-dev ninja-build \
    g++-mingw-w64-x86-64-posix nsis wine64 wine unzip xvfb openbox xdotool imagemagick

cache=${AHNEMETRI_WINDOWS_CACHE:-/var/cache/ahnemetri-windows}
triple=x86_64-w64-mingw32
toolchain=$repo/cmake/mingw-w64-x86_64.cmake
host_qt_cmake=/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake
qt_source_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
qt_prefix=$cache/qt6-base-$qt_source_version-$triple
. scripts/qt-from-debian.sh

# Bundled libraries instead of Debian's Linux ones; only the modules the program uses. Debian's
# tarball leaves Wacom's wintab header out, hence no tablet events.
qt_options=(-release -shared -opensource -confirm-license -xplatform win32-g++ -qt-host-path /usr
    -nomake examples -nomake tests
    -qt-zlib -qt-libpng -qt-freetype -qt-harfbuzz -qt-pcre -qt-doubleconversion
    -no-icu -no-opengl -no-dbus -no-zstd -no-feature-vulkan -no-feature-sql
    -no-feature-network -no-feature-xml -no-feature-printsupport -no-feature-concurrent
    -no-feature-jpeg -no-feature-tabletevent
    -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain"
    -DQT_HOST_PATH_CMAKE_DIR="$host_qt_cmake" -DQT_BUILD_TOOLS_WHEN_CROSSCOMPILING=OFF)

# Once Qt is installed, what the packages take of it: its libraries without debug information,
# and beside them Qt's licences, the licences of the code bundled into them, Debian's record of
# every file's licence, and where Qt came from.
ship_qt() { # source work
    local source=$1 work=$2 licenses=$qt_prefix/licenses bundled
    find "$qt_prefix/bin" "$qt_prefix/plugins" -name '*.dll' -exec ${triple}-strip --strip-unneeded {} +
    mkdir -p "$licenses/3rdparty"
    cp "$source"/LICENSES/*.txt "$licenses/"
    cp "$source/debian/copyright" "$licenses/debian-copyright.txt"
    for bundled in zlib libpng freetype harfbuzz-ng pcre2 double-conversion md4c tinycbor \
        easing icc blake2 md4 md5 sha1 sha3 rfc6234; do
        mkdir -p "$licenses/3rdparty/$bundled"
        find "$source/src/3rdparty/$bundled" -maxdepth 2 -type f \( -iname 'LICEN[CS]E*' -o \
            -iname 'COPYING*' -o -name 'qt_attribution.json' \) -exec cp {} "$licenses/3rdparty/$bundled/" \;
    done
    cat >"$licenses/QT-SOURCE.txt" <<NOTE
Ahnemetri for Windows ships Qt $(sed -n 's/^set(QT_REPO_MODULE_VERSION "\(.*\)")/\1/p' "$source/.cmake.conf")
(Qt6Core.dll, Qt6Gui.dll, Qt6Widgets.dll and the plugins under plugins/) as shared libraries,
under the GNU Lesser General Public License version 3 (LGPL-3.0-only.txt, with
GPL-3.0-only.txt, in this folder). The code bundled into them is listed in 3rdparty/ and, file
by file, in debian-copyright.txt.

The libraries were built from Debian's source package qt6-base, version $qt_source_version,
with Debian's patches applied (on Debian: apt-get source qt6-base=$qt_source_version), with
Debian's MinGW-w64 cross compiler ($(${triple}-g++-posix --version | head -n 1)),
configured with:

  $(sed -n 's/^'"'"'\/usr\/bin\/cmake'"'"' //p' "$work/configure.log" | head -n 1)

You may use Ahnemetri with another Qt: replace these files with your own build of Qt 6 made
with the same compiler and C++ runtime, or build Ahnemetri from its source against any Qt 6.4
or later (the project's scripts/windows.sh does the whole build on Debian).
NOTE
}

if qt_is_built "$qt_prefix" "qt6-base $qt_source_version"; then
    say "Qt $qt_source_version for Windows from $qt_prefix"
else
    say "building Qt $qt_source_version for Windows from Debian's source (once; some 25 minutes on two cores, more while other builds share them)"
    build_qt_from_debian "$cache/work" "$qt_prefix" "$qt_source_version" "qt6-base $qt_source_version" \
        ship_qt "${qt_options[@]}"
fi
export AHNEMETRI_WINDOWS_QT=$qt_prefix
say "Qt ready after $(elapsed)"

# --- The program and its tests ------------------------------------------------------------------

build=$repo/build/windows
cmake --preset windows >/dev/null
cmake --build --preset windows --parallel "$(nproc)"

# A Wine prefix of its own, new for every run, with the fallback font of the Linux tests where
# Qt's offscreen platform finds it and, for the installed program, in place of Verdana, which
# Wine does not have (Windows does).
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
new_wine_prefix() {
    export WINEPREFIX=$1
    rm -rf "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1
    wineserver --wait
    local fonts=(/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf)
    mkdir -p "$WINEPREFIX/drive_c/test-fonts"
    cp "${fonts[@]}" "$WINEPREFIX/drive_c/test-fonts/"
    cp "${fonts[@]}" "$WINEPREFIX/drive_c/windows/Fonts/"
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Verdana /t REG_SZ /d 'DejaVu Sans' /f >/dev/null 2>&1
    # Wine's own programs, started here without a display, are gone before a program is
    # started on one.
    wineserver --wait
}
new_wine_prefix "$build/wine"
# The test programs find Qt's libraries and the MinGW runtime on Wine's search path: the same
# files as the packages ship (the runtime as the build copied it, without debug information).
runtime_dirs=("$qt_prefix/bin" "$build/mingw-runtime")
WINEPATH=$(printf 'Z:%s;' "${runtime_dirs[@]}")
export WINEPATH=${WINEPATH//\//\\}
# Qt's Finnish texts where the Windows Qt looks for them, as Debian's Qt has them.
mkdir -p "$qt_prefix/translations"
cp /usr/share/qt6/translations/qtbase_fi.qm "$qt_prefix/translations/"

passed=0
failed=0
count() { # name, then the command that checks it
    local name=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $name" >&2
    fi
}

if [ "${AHNEMETRI_WINDOWS_SKIP_TESTS:-0}" != 1 ]; then
    say "test suite under Wine"
    cmake -S . -B "$build" -DAHNEMETRI_TEST_FONT_DIR=C:/test-fonts >/dev/null
    ctest --preset windows --parallel "$(nproc)" 2>&1 | tee "$build/ctest.log" || true
    summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$build/ctest.log" || true)
    if [[ $summary =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
        failed=$((failed + BASH_REMATCH[1]))
        passed=$((passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
    else
        count "the test suite ran" false
    fi
fi

# --- Packages -----------------------------------------------------------------------------------

say "packages"
stage=$build/stage
packages=$build/packages
rm -rf "$stage" "$packages"
cmake --install "$build" --prefix "$stage" --strip >/dev/null
(cd "$build" && cpack -G ZIP -B "$packages" >/dev/null)
rm -rf "$packages/_CPack_Packages"
# The uninstaller removes what the installer put there, deepest first.
uninstall_list=$build/packaging/uninstall-list.nsh
{
    (cd "$stage" && find . -type f | sort -r) | sed 's|^\./||; s|/|\\|g; s|.*|    Delete "$INSTDIR\\&"|'
    (cd "$stage" && find . -mindepth 1 -type d | sort -r) | sed 's|^\./||; s|/|\\|g; s|.*|    RMDir "$INSTDIR\\&"|'
} >"$uninstall_list"
zip=$(find "$packages" -maxdepth 1 -name 'ahnemetri-*-win64.zip')
installer=${zip%.zip}.exe
version=${zip##*/ahnemetri-}
version=${version%-win64.zip}
makensis -V2 -DSTAGE="$stage" -DUNINSTALL_LIST="$uninstall_list" -DOUTFILE="$installer" \
    "$build/packaging/ahnemetri.nsi"

# Every library that the program or a plugin loads is in the package or is part of Windows
# (as a fresh Wine system has it; api-ms-win-* names are API sets, which Windows resolves itself).
complete() {
    local file dll missing=0
    while read -r file; do
        for dll in $(${triple}-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p' | grep -iv '^api-ms-win-'); do
            if [ -z "$(find "$stage" "$WINEPREFIX/drive_c/windows/system32" -maxdepth 3 -iname "$dll" -print -quit)" ]; then
                echo "${file#"$stage"/} loads $dll, which is neither in the package nor in Windows" >&2
                missing=1
            fi
        done
    done < <(find "$stage" -iname '*.exe' -o -iname '*.dll')
    local listed
    listed=$(unzip -Z1 "$zip")
    [ $missing -eq 0 ] && grep -q '/licenses/qt/QT-SOURCE.txt$' <<<"$listed" &&
        grep -q '/licenses/qt/LGPL-3.0-only.txt$' <<<"$listed" &&
        grep -q '/licenses/ahnemetri-LICENSE.txt$' <<<"$listed" &&
        grep -q '/translations/qtbase_fi.qm$' <<<"$listed" && grep -q '/qt.conf$' <<<"$listed"
}
count "the packages hold everything the program loads, and the licences" complete

# No file shipped carries debug information: not in the installer (made from the stage), not
# in the zip (which CPack fills by an installation of its own), not the installer itself.
lean() {
    local unpacked=$build/zip-contents file sections checked=0 heavy=0
    rm -rf "$unpacked"
    mkdir -p "$unpacked"
    unzip -q "$zip" -d "$unpacked" || return 1
    while read -r file; do
        sections=$(${triple}-objdump -h "$file") || return 1
        checked=$((checked + 1))
        if grep -q ' \.debug_' <<<"$sections"; then
            echo "${file#"$build"/} carries debug sections:" \
                "$(grep -o ' \.debug_[a-z_]*' <<<"$sections" | tr -d ' ' | tr '\n' ' ')" >&2
            heavy=1
        fi
    done < <(find "$stage" "$unpacked" -type f \( -iname '*.exe' -o -iname '*.dll' \); echo "$installer")
    rm -rf "$unpacked"
    echo "$checked program files checked for debug sections"
    [ $heavy -eq 0 ] && [ $checked -gt 2 ]
}
count "no file shipped carries debug information" lean

# --- The installed program, as a user meets it ---------------------------------------------------

# What is to be undone at the end, whatever happens: this run's own X server and window manager
# (others may be running beside them), the programs of the Wine prefix, what is mounted.
window_manager=
xvfb=
. scripts/system-mounts.sh
finish() {
    [ -z "$window_manager$xvfb" ] || kill $window_manager $xvfb 2>/dev/null || true
    wineserver --kill 2>/dev/null || true
    unmount_all
}
trap finish EXIT

# The installed program is read through UI Automation, whose client side Wine has from version
# 10 on (Debian 12's Wine 8.0 has no CUIAutomation class at all). On an older Wine the installed
# program runs under the Wine of a minimal Debian 13 system of its own, on this machine's X
# server, with this tree mounted at the same path.
trixie=
if [ "$(wine --version | sed -n 's/^wine-\([0-9]*\).*/\1/p')" -lt 10 ]; then
    trixie=$cache/trixie
    in_trixie() {
        chroot "$trixie" /usr/bin/env -i -C "$PWD" HOME=/root LANG=C.UTF-8 PATH=/usr/sbin:/usr/bin:/sbin:/bin \
            DISPLAY="${DISPLAY:-}" WINEPREFIX="$WINEPREFIX" WINEARCH="$WINEARCH" \
            WINEDEBUG="$WINEDEBUG" WINEDLLOVERRIDES="$WINEDLLOVERRIDES" "$@"
    }
    # A run killed outright leaves its mounts behind, this tree among them.
    if findmnt --raw --noheadings --output TARGET | grep -q "^$trixie/"; then
        echo "Something is still mounted in $trixie (see findmnt); unmount it first." >&2
        exit 1
    fi
    if [ ! -f "$trixie/.ready" ]; then
        say "bootstrapping a Debian 13 system with Wine 10 in $trixie (once)"
        ensure_packages debootstrap
        rm -rf --one-file-system "$trixie"
        mirror=()
        [ -n "${DEBIAN_MIRROR:-}" ] && mirror=("$DEBIAN_MIRROR")
        debootstrap --variant=minbase trixie "$trixie" "${mirror[@]}" >"$cache/trixie.log" 2>&1 || {
            tail -20 "$cache/trixie.log" >&2
            exit 1
        }
        printf '#!/bin/sh\nexit 101\n' >"$trixie/usr/sbin/policy-rc.d"
        chmod +x "$trixie/usr/sbin/policy-rc.d"
        cp -L /etc/resolv.conf "$trixie/etc/resolv.conf"
        mount_into -t proc proc "$trixie/proc"
        in_trixie apt-get update -qq
        in_trixie env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            wine wine64 >>"$cache/trixie.log" 2>&1 || {
            tail -20 "$cache/trixie.log" >&2
            exit 1
        }
        unmount_all
        touch "$trixie/.ready"
    fi
    [ -d /tmp/.X11-unix ] || install -d -m 1777 /tmp/.X11-unix
    mkdir -p "$trixie/tmp/.X11-unix" "$trixie$repo"
    mount_system "$trixie"
    mount_into --bind /tmp/.X11-unix "$trixie/tmp/.X11-unix"
    mount_into --bind "$repo" "$trixie$repo"
    wine() { in_trixie wine "$@"; }
    wineboot() { in_trixie wineboot "$@"; }
    wineserver() { in_trixie wineserver "$@"; }
fi

say "installing, a whole test by keyboard and uninstalling under $(wine --version)"
new_wine_prefix "$build/wine-installed"
display_log=$build/xvfb.log
exec {display_fd}< <(exec Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>"$display_log")
xvfb=$!
read -r display_number <&$display_fd
export DISPLAY=:$display_number
openbox >/dev/null 2>&1 &
window_manager=$!

installed="$WINEPREFIX/drive_c/Program Files/Ahnemetri"
start_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Ahnemetri.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ahnemetri'
registered() { wine reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' | grep -q "$2"; }
installs() {
    wine "$installer" /S && [ -f "$installed/ahnemetri.exe" ] && [ -f "$start_menu" ] &&
        registered DisplayVersion "$version" &&
        registered Publisher 'The Ahnemetri developers' && registered DisplayIcon 'ahnemetri.exe,0'
}
# Waits until a window of the given title is there (30 s at most).
window_titled() { timeout 30 xdotool search --sync --onlyvisible --name "^$1\$" >/dev/null 2>&1; }

# What a screen reader is given, read through UI Automation by tests/uia/uiaread.cpp: one
# reading a step, and beside them the events that came, in build/windows/uia/.
uia=$build/uia
uiaread=$build/uiaread.exe
windows_path() { local path=Z:$1; echo "${path//\//\\}"; }
# Watches the program whose start window is up for the events a screen reader acts on, once it
# has said which ones it can get (30 s at most).
uia_watch() {
    rm -rf "$uia"
    mkdir -p "$uia"
    uia_events_read=0
    (LC_ALL=C.UTF-8 wine "$uiaread" watch '^Ahnemetri [0-9.]*$' "$(windows_path "$uia/events.txt")" \
        >/dev/null 2>&1 &)
    local waited=0
    until grep -q '^listening for notifications' "$uia/events.txt" 2>/dev/null; do
        [ $waited -ge 60 ] && return 1
        sleep 0.5
        waited=$((waited + 1))
    done
}
# Reads the window titled $2 (as for window_titled) into build/windows/uia/$1.txt once a line
# of the reading matches $3 (30 s at most), and adds the events that came since the reading
# before. Only the checks of the readings fail a run.
uia_reading() {
    local file=$uia/$1.txt waited=0
    # The titles are UTF-8, as Wine takes a command line in that locale.
    until LC_ALL=C.UTF-8 wine "$uiaread" read "^$2\$" "$(windows_path "$file")" >/dev/null 2>&1 &&
        grep -q -E -- "$3" "$file"; do
        [ $waited -ge 60 ] && break
        sleep 0.5
        waited=$((waited + 1))
    done
    echo 'events since the reading before:' >>"$file"
    tail -n "+$((uia_events_read + 1))" "$uia/events.txt" >>"$file"
    uia_events_read=$(wc -l <"$uia/events.txt")
}

takes_a_whole_test() {
    (cd "$installed" && wine ./ahnemetri.exe >/dev/null 2>&1 &)
    window_titled 'Ahnemetri [0-9.]*' || return 1
    xdotool search --sync --onlyvisible --name '^Ahnemetri [0-9.]*$' windowactivate --sync
    uia_watch || return 1
    uia_reading start 'Ahnemetri [0-9.]*' '^focus: edit'
    xdotool type --delay 50 'Testi' && xdotool key --delay 100 Tab Return
    window_titled 'Ahnemetri [0-9.]* - Testi käynnissä' || return 1
    uia_reading question-1 'Ahnemetri [0-9.]* - Testi käynnissä' '^focus: button'
    local question
    for question in $(seq 1 25); do
        if [ "$question" = 9 ]; then
            xdotool key --delay 150 Right Right Right
            uia_reading question-9 'Ahnemetri [0-9.]* - Testi käynnissä' '^ *button " ?3 markkaa"'
            xdotool key --delay 150 Tab Return
        else
            xdotool key --delay 150 Return
        fi
    done
    window_titled 'Ahnemetri [0-9.]* - Tilastot \(Testi\)' || return 1
    uia_reading results 'Ahnemetri [0-9.]* - Tilastot \(Testi\)' '^focus: button'
    import -window root "$build/installed-results.png" 2>/dev/null || true
    xdotool key alt+l
    local waited=0
    while pgrep -f 'ahnemetri.exe' >/dev/null && [ $waited -lt 30 ]; do
        sleep 1
        waited=$((waited + 1))
    done
    ! pgrep -f 'ahnemetri.exe' >/dev/null
}
# Started from the Start menu with an option it does not know, the program has no console to
# write to: it says so in a message box and ends with status 2 once the box is closed.
fails_in_a_message_box() {
    local launcher=$build/start-without-console.exe status=$build/failed-start.status
    ${triple}-gcc-posix -municode -mwindows -Wall -Wextra -Werror -o "$launcher" \
        tests/packaging/start-without-console.c || return 1
    rm -f "$status"
    (wine "$launcher" 'C:\Program Files\Ahnemetri\ahnemetri.exe' --tuntematon >/dev/null 2>&1
        echo $? >"$status") &
    window_titled 'Ahnemetri' || return 1
    import -window root "$build/failed-start.png" 2>/dev/null || true
    xdotool search --sync --onlyvisible --name '^Ahnemetri$' windowactivate --sync key Return
    local waited=0
    while [ ! -s "$status" ] && [ $waited -lt 30 ]; do
        sleep 1
        waited=$((waited + 1))
    done
    [ "$(cat "$status" 2>/dev/null)" = 2 ]
}
uninstalls() {
    wine "$installed/uninstall.exe" /S
    # The uninstaller runs on from a copy of itself; it has finished when the folder is gone.
    local waited=0
    while [ -e "$installed" ] && [ $waited -lt 60 ]; do
        sleep 1
        waited=$((waited + 1))
    done
    wineserver --wait
    [ ! -e "$installed" ] && [ ! -e "$start_menu" ] && ! wine reg query "$uninstall_key" >/dev/null 2>&1
}
count "silent install" installs
# A test that stopped halfway leaves the program running, and the uninstaller's wait for Wine
# to settle would then never end: the programs of this run's Wine prefix are ended instead.
whole_test_or_end() {
    takes_a_whole_test && return 0
    import -window root "$build/installed-failed.png" 2>/dev/null || true
    wineserver --kill 2>/dev/null || true
    return 1
}
count "a whole test in the installed program" whole_test_or_end
count "a screen reader's view of it through UI Automation" \
    bash tests/packaging/check-uia-readings.sh "$uia" tests/usertexts.txt
count "a wrong option without a console is shown in a message box" fails_in_a_message_box
count "silent uninstall leaves nothing behind" uninstalls

say "done after $(elapsed)"
megabytes() { awk -v bytes="$1" 'BEGIN { printf "%.1f MB", bytes / 1000000 }'; }
unpacked_bytes=$(unzip -Zt "$zip" | sed -n 's/^[0-9]* files, \([0-9]*\) bytes uncompressed.*/\1/p')
echo "Packages:"
echo "  $installer: $(megabytes "$(stat -c %s "$installer")")"
echo "  $zip: $(megabytes "$(stat -c %s "$zip")"), unpacked $(megabytes "$unpacked_bytes")"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
