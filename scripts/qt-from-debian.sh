# Sourced by scripts/windows.sh and scripts/web.sh: builds Qt for another platform from Debian's
# own qt6-base source package, with Debian's patches applied, and keeps it. Needs root (apt-get
# source with the deb-src entry that enable_deb_src adds), dpkg-dev, cmake and ninja-build.
#
#   qt_is_built PREFIX RECIPE
#       true when PREFIX holds a Qt built by the recipe: a text that names everything the build
#       depends on (the source version, the configure options, the patches), kept in
#       PREFIX/.built-by-ahnemetri.
#   build_qt_from_debian WORK PREFIX VERSION RECIPE AFTER_INSTALL [CONFIGURE OPTIONS...]
#       fetches qt6-base=VERSION into WORK, applies the patch files listed in the array
#       QT_PATCHES on top of Debian's, configures with the options given, builds, installs into
#       PREFIX, runs the function AFTER_INSTALL with the source folder and WORK (licences and
#       whatever else the build keeps beside Qt), records the recipe and removes WORK. An
#       interrupted build goes on where it stopped; anything else starts afresh. On a failure it
#       shows the end of the configure log or the compiler's errors, and returns 1.

QT_PATCHES=()

qt_is_built() { # prefix recipe
    [ "$(cat "$1/.built-by-ahnemetri" 2>/dev/null)" = "$2" ]
}

build_qt_from_debian() { # work prefix version recipe after-install [configure options...]
    local work=$1 prefix=$2 version=$3 recipe=$4 after_install=$5 source fix
    shift 5
    enable_deb_src
    if [ ! -f "$work/configured" ]; then
        rm -rf "$work" "$prefix"
        mkdir -p "$work/build"
        (cd "$work" && apt-get source -qq --only-source "qt6-base=$version")
        source=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*')
        for fix in "${QT_PATCHES[@]}"; do
            patch -d "$source" -p1 --quiet <"$fix"
        done
    fi
    source=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*')
    [ -f "$work/configured" ] || (cd "$work/build" && "$source/configure" -prefix "$prefix" "$@" \
        >"$work/configure.log" 2>&1 && touch "$work/configured") || {
        tail -40 "$work/configure.log" >&2
        return 1
    }
    cmake --build "$work/build" --parallel "$(nproc)" >"$work/build.log" 2>&1 || {
        grep -m20 -B2 -A8 'error' "$work/build.log" >&2 || tail -40 "$work/build.log" >&2
        return 1
    }
    cmake --install "$work/build" >/dev/null
    "$after_install" "$source" "$work"
    echo "$recipe" >"$prefix/.built-by-ahnemetri"
    rm -rf "$work"
}
