#!/usr/bin/env bash
# Checks that the version written into the Windows resources and the AppStream releases
# agrees with the project version, so that a version bump cannot miss one of them.
# Usage: check-versions.sh RC_FILE METAINFO_FILE MAJOR MINOR PATCH
set -euo pipefail
rc=$1 metainfo=$2 major=$3 minor=$4 patch=$5

status=0
fail() { echo "FAIL: $*"; status=1; }

numeric="$major,$minor,$patch,0"
for key in FILEVERSION PRODUCTVERSION; do
    got=$(sed -n "s/^[[:space:]]*$key[[:space:]]\\{1,\\}\\([0-9, ]*\\).*/\\1/p" "$rc" | tr -d ' ')
    [ "$got" = "$numeric" ] || fail "$key is '$got' in $rc, expected '$numeric'"
done

grep -q "VALUE \"ProductName\", *\"Ahnemetri $major\\.$minor\"" "$rc" \
    || fail "ProductName in $rc is not 'Ahnemetri $major.$minor'"
for key in FileVersion ProductVersion; do
    grep -q "VALUE \"$key\", *\"$major\\.$minor[0-9]*\"" "$rc" \
        || fail "$key in $rc does not start with $major.$minor"
done

# The newest release comes first in the metadata.
newest=$(sed -n 's/.*<release [^>]*version="\([^"]*\)".*/\1/;T;p;q' "$metainfo")
[ "$newest" = "$major.$minor.$patch" ] \
    || fail "newest release in $metainfo is '$newest', expected '$major.$minor.$patch'"

[ $status -eq 0 ] && echo "PASS: versions agree with $major.$minor.$patch"
exit $status
