#!/usr/bin/env bash
# Validates the AppStream metadata offline and checks that it matches the launcher and the
# program it describes.
# Usage: check-metainfo.sh METAINFO_FILE DESKTOP_FILE EXECUTABLE_NAME
set -euo pipefail
metainfo=$1 desktop=$2 exe=$3

if ! command -v appstreamcli >/dev/null; then
    echo "SKIP: appstreamcli not found (package appstream)"
    exit 77
fi

status=0
fail() { echo "FAIL: $*"; status=1; }

# --strict fails on warnings too; pedantic hints are still allowed.
if ! appstreamcli validate --no-net --strict "$metainfo"; then
    fail "appstreamcli validate --no-net --strict rejected $metainfo"
fi

# Text of the first element with the given tag name (single-line elements only).
element() {
    sed -n "s|^[[:space:]]*<$1\\( [^>]*\\)\\{0,1\\}>\\([^<]*\\)</$1>.*|\\2|;T;p;q" "$metainfo"
}

id=$(element id)
file_id=$(basename "$metainfo" .metainfo.xml)
[ "$id" = "$file_id" ] || fail "component id '$id' differs from the file name '$file_id'"

launchable=$(element launchable)
[ "$launchable" = "$(basename "$desktop")" ] \
    || fail "launchable '$launchable' is not the launcher $(basename "$desktop")"
[ "$launchable" = "$id.desktop" ] || fail "launchable '$launchable' does not follow the id '$id'"

binary=$(element binary)
[ "$binary" = "$exe" ] || fail "provided binary '$binary' is not the program '$exe'"

grep -q '<content_rating type="oars-1.1"' "$metainfo" || fail "no OARS 1.1 content rating"
grep -q '<release version="[^"]*" date="[0-9]\{4\}-[0-9]\{2\}-[0-9]\{2\}"' "$metainfo" \
    || fail "no release with its date"
# AppStream 1.0 wants the homepage; 0.16 does not yet ask for it.
[ -n "$(element url)" ] || fail "no homepage URL"

[ $status -eq 0 ] && echo "PASS: $metainfo"
exit $status
