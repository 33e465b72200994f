#!/usr/bin/env bash
# Checks that everything that states the program's version states the version of project() in
# CMakeLists.txt: the Windows resources, the AppStream release, the manual page and the newest
# changelog entry (whose date the release and the manual page carry too); and that the sources
# do not write the version out again anywhere, nor do the tests and the fuzzer.
# Usage: check-versions.sh RC_FILE METAINFO_FILE MANPAGE CHANGELOG SOURCE_DIR MAJOR MINOR PATCH
set -euo pipefail
rc=$1 metainfo=$2 manpage=$3 changelog=$4 sources=$5 major=$6 minor=$7 patch=$8
version=$major.$minor.$patch

status=0
fail() { echo "FAIL: $*"; status=1; }

numeric="$major,$minor,$patch,0"
for key in FILEVERSION PRODUCTVERSION; do
    got=$(sed -n "s/^[[:space:]]*$key[[:space:]]\\{1,\\}\\([0-9, ]*\\).*/\\1/p" "$rc" | tr -d ' ')
    [ "$got" = "$numeric" ] || fail "$key is '$got' in $rc, expected '$numeric'"
done
grep -q "VALUE \"ProductName\", *\"Ahnemetri $major\\.$minor\"" "$rc" \
    || fail "ProductName in $rc is not 'Ahnemetri $major.$minor'"
text=$(printf '%d.%02d' "$major" "$minor")
for key in FileVersion ProductVersion; do
    grep -q "VALUE \"$key\", *\"$text\"" "$rc" || fail "$key in $rc is not \"$text\""
done

# The newest entry of the changelog names the release and its date (RFC 2822, as Debian's).
entry=$(head -n1 "$changelog")
[[ $entry == "ahnemetri ($version) "* ]] || fail "newest entry of $changelog is '$entry', not $version"
stamp=$(grep -m1 '^ -- ' "$changelog" | sed 's/.*>  //')
date=$(date -u -d "$stamp" +%F) || fail "no date in the newest entry of $changelog"

# The newest release comes first in the metadata.
release=$(grep -m1 '<release ' "$metainfo")
[[ $release == *"version=\"$version\""* ]] || fail "newest release in $metainfo is not $version: $release"
[[ $release == *"date=\"$date\""* ]] || fail "newest release in $metainfo is not dated $date: $release"

th=$(grep -m1 '^\.TH ' "$manpage")
[ "$th" = ".TH AHNEMETRI 6 \"$date\" \"Ahnemetri $version\" \"Pelit\"" ] \
    || fail "manual page header is '$th'"

# Written out once, in CMakeLists.txt; the sources take it from there.
again=$(grep -rInE "(Ahnemetri $major\\.$minor\\b|\\b$major\\.$minor\\.$patch\\b|\\b$major,$minor,$patch,0\\b|\"$text\")" \
    "$sources/src" "$sources/cmake" "$sources/docs" "$sources/tests" "$sources/fuzz" || true)
[ -z "$again" ] || fail "the version is written out again: $again"

[ $status -eq 0 ] && echo "PASS: versions agree with $version"
exit $status
