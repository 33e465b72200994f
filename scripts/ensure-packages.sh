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
