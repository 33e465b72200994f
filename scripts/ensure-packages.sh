# Sourced by the build scripts: installs the Debian packages given as arguments when any of
# them is missing. Needs root (or sudo) only when something has to be installed.
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing missing packages: ${missing[*]}" >&2
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}

# What building the program needs, on Debian 12 and 13 alike.
BUILD_PACKAGES=(cmake make g++ pkg-config qt6-base-dev qt6-base-dev-tools fonts-dejavu-core)
# What running it needs besides the libraries: the window system plugins and Qt's own texts in
# Finnish (the program starts without them, in English where Qt speaks).
RUNTIME_PACKAGES=(qt6-qpa-plugins qt6-translations-l10n)

# Debian's archive as the system already knows it, for source packages too (the builds of Qt
# for Windows and for the browser unpack Debian's own Qt source).
enable_deb_src() {
    apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -qx Sources && return 0
    local sources=/etc/apt/sources.list.d
    if [ -f $sources/debian.sources ]; then
        awk 'BEGIN { RS = ""; ORS = "\n\n" }
             /(^|\n)Types:([^\n]* )?deb( |\n|$)/ { sub(/Types:[^\n]*/, "Types: deb-src"); print }' \
            $sources/debian.sources >$sources/ahnemetri-deb-src.sources
    fi
    if [ -f /etc/apt/sources.list ]; then
        sed -n 's/^deb[[:space:]]/deb-src /p' /etc/apt/sources.list >$sources/ahnemetri-deb-src.list
    fi
    apt-get update -qq
}
