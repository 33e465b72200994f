#!/usr/bin/env bash
# Compiles the Windows resource script with the MinGW resource compiler and checks what ends
# up in the program file: the icon group with every image of the .ico, the version numbers and
# the version strings, encoded as UTF-16LE.
# Usage: check-windows-resources.sh RC_FILE ICO_FILE WORK_DIR MAJOR MINOR PATCH
set -euo pipefail
rc=$1 ico=$2 work=$3 major=$4 minor=$5 patch=$6
title="Ahnemetri $major.$minor"
numbers=$(printf '%d.%02d' "$major" "$minor")
prefix=x86_64-w64-mingw32

windres=$(command -v $prefix-windres || true)
objdump=$(command -v $prefix-objdump || true)
if [ -z "$windres" ] || [ -z "$objdump" ]; then
    echo "SKIP: $prefix-windres not found (package binutils-mingw-w64-x86-64)"
    exit 77
fi

# windres preprocesses with the MinGW C compiler; without it the host preprocessor will do,
# since the script includes no Windows headers.
preprocessor=()
if ! command -v $prefix-gcc >/dev/null; then
    if ! command -v cpp >/dev/null; then
        echo "SKIP: neither $prefix-gcc nor cpp found to preprocess the resource script"
        exit 77
    fi
    preprocessor=(--preprocessor=cpp)
fi

status=0
fail() { echo "FAIL: $*"; status=1; }

rm -rf "$work"
mkdir -p "$work"
cd "$work"   # a working directory away from the script: the icon must be found relative to it

"$windres" "${preprocessor[@]}" -i "$rc" -O res -o ahnemetri.res
"$windres" "${preprocessor[@]}" -i "$rc" -O coff -F pe-x86-64 -o ahnemetri.o

# The object the linker takes must carry a resource section.
sections=$("$objdump" -h ahnemetri.o)
grep -q '[[:space:]]\.rsrc[[:space:]]' <<<"$sections" || fail "ahnemetri.o has no .rsrc section"

# Bytes of a file as " xx xx xx ...", so that a pattern can only match on byte boundaries.
hexbytes() { od -An -v -tx1 | tr -s ' \n' '  '; }
res_hex=$(hexbytes < ahnemetri.res)
obj_hex=$(hexbytes < ahnemetri.o)

for text in "$title" "Ahnemetri.exe" "$numbers" "Koodari Meikäläinen" \
            "CompanyName" "FileDescription" "FileVersion" "InternalName" "LegalCopyright" \
            "OriginalFilename" "ProductName" "ProductVersion" "040b04b0" "Translation"; do
    pattern=" $(printf '%s' "$text" | iconv -f UTF-8 -t UTF-16LE | hexbytes | sed 's/^ *//;s/ *$//') "
    [[ "$res_hex" == *"$pattern"* ]] || fail "UTF-16LE \"$text\" not in ahnemetri.res"
    [[ "$obj_hex" == *"$pattern"* ]] || fail "UTF-16LE \"$text\" not in ahnemetri.o"
done

# VS_FIXEDFILEINFO: signature, structure version, then file and product version
# major.minor.patch.0, each as two little-endian words of 16 bits.
le16() { printf '%02x %02x' $(($1 & 255)) $(($1 >> 8)); }
version=" $(le16 "$minor") $(le16 "$major") 00 00 $(le16 "$patch")"
fixed=" bd 04 ef fe 00 00 01 00$version$version "
[[ "$res_hex" == *"$fixed"* ]] || fail "fixed version record is not $major.$minor.$patch.0 twice"
# The translation table: Finnish (0x040b), code page 1200.
[[ "$res_hex" == *" 0b 04 b0 04 "* ]] || fail "translation 0x040b, 1200 missing"

# Read the compiled resources back as text for the structural checks.
"$windres" -i ahnemetri.res -O rc -o decompiled.rc
images=$(od -An -tu2 -j4 -N2 "$ico" | tr -d ' ')
grep -q '^"IDI_ICON1" 14 /\* RT_GROUP_ICON \*/' decompiled.rc || fail "icon group IDI_ICON1 missing"
grep -q "Has $images elements" decompiled.rc || fail "icon group does not hold all $images images of the .ico"
[ "$(grep -c '/\* RT_ICON \*/' decompiled.rc)" -eq "$images" ] || fail "not every icon image was compiled in"
grep -q '^LANGUAGE 11, 1$' decompiled.rc || fail "resources are not marked Finnish"
grep -q '^1 VERSIONINFO$' decompiled.rc || fail "no version record with id 1 (VS_VERSION_INFO)"
grep -q '^ FILEOS 0x40004$' decompiled.rc || fail "FILEOS is not VOS_NT_WINDOWS32"
grep -q '^ FILETYPE 0x1$' decompiled.rc || fail "FILETYPE is not VFT_APP"
grep -q 'BLOCK "040b04b0"' decompiled.rc || fail "string table is not 040b04b0"
while IFS='|' read -r key val; do
    grep -qF "VALUE \"$key\", \"$val\"" decompiled.rc || fail "$key is not \"$val\""
done <<PAIRS
CompanyName|*
FileDescription|Ahnemetri
FileVersion|$numbers
InternalName|Ahnemetri
OriginalFilename|Ahnemetri.exe
ProductName|$title
ProductVersion|$numbers
PAIRS

if [ $status -ne 0 ]; then
    echo "--- decompiled resources (without icon data) ---"
    grep -v '^  0x' decompiled.rc
else
    echo "PASS: $rc"
fi
exit $status
