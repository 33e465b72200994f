#!/usr/bin/env bash
# Validates the launcher with desktop-file-validate and checks that it starts the
# installed program and names an icon that is shipped.
# Usage: check-desktop-file.sh DESKTOP_FILE ICONS_DIR EXECUTABLE_NAME
set -euo pipefail
desktop=$1 icons=$2 exe=$3

if ! command -v desktop-file-validate >/dev/null; then
    echo "SKIP: desktop-file-validate not found (package desktop-file-utils)"
    exit 77
fi

status=0
fail() { echo "FAIL: $*"; status=1; }

# Warnings and hints do not change the exit code, so any output counts as a failure.
if ! report=$(desktop-file-validate "$desktop" 2>&1); then
    fail "desktop-file-validate rejected $desktop"
fi
if [ -n "$report" ]; then
    printf '%s\n' "$report"
    fail "desktop-file-validate reported issues"
fi

# Value of an unlocalised key in the [Desktop Entry] group.
value() {
    awk -v key="$1" '
        /^\[/ { group = $0; next }
        group == "[Desktop Entry]" && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }
    ' "$desktop"
}

expect() {
    local got
    got=$(value "$1")
    [ "$got" = "$2" ] || fail "$1 is '$got', expected '$2'"
}

expect Type Application
expect Name Ahnemetri
expect Exec "$exe"
expect Terminal false
[ -n "$(value Comment)" ] || fail "Comment is missing"
case ";$(value Categories)" in
    *";Game;"*) ;;
    *) fail "Categories '$(value Categories)' lacks Game" ;;
esac

icon=$(value Icon)
[ -n "$icon" ] || fail "Icon is missing"
[ -f "$icons/$icon.svg" ] || fail "no scalable icon $icons/$icon.svg for Icon=$icon"
for size in 16 24 32 48 64 128 256; do
    [ -f "$icons/hicolor/${size}x${size}/apps/$icon.png" ] \
        || fail "no ${size}x${size} icon for Icon=$icon"
done

[ $status -eq 0 ] && echo "PASS: $desktop"
exit $status
