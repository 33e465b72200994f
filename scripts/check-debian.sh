#!/usr/bin/env bash
# Runs the README's test command (bash scripts/test.sh) on a fresh Debian system of the given
# release, so that a release this machine is not can be checked too:
#
#   sudo bash scripts/check-debian.sh RELEASE [COMMIT]      e.g. bookworm, trixie
#
# A minimal system of RELEASE (git added) is bootstrapped with debootstrap into a new directory
# under CHECK_DEBIAN_DIR (default /var/tmp/ahnemetri-check), the committed COMMIT (default HEAD)
# of this repository is cloned into it, and the test command runs there as root, installing
# Qt and the rest itself as a new user's machine would. Uncommitted changes are not checked.
#
# Needs root and the network. The packages come from debootstrap's default mirror unless
# DEBIAN_MIRROR names another. The base system's packages are kept in a tarball under
# CHECK_DEBIAN_CACHE (default /var/cache/ahnemetri-check) and reused for a week; the system
# itself is bootstrapped afresh every time. Exit status: that of the test command, or 2 when
# the check could not be set up. The directory is removed after a passing run and kept for
# inspection after a failing one (CHECK_DEBIAN_KEEP=1 keeps it always).
set -euo pipefail

usage() {
    echo "usage: $0 RELEASE [COMMIT]   (as root; e.g. $0 trixie)" >&2
    exit 2
}
[ $# -ge 1 ] && [ $# -le 2 ] || usage
release=$1
commit=${2:-HEAD}
case $release in
    -*|*/*|'') usage ;;
esac
if [ "$(id -u)" -ne 0 ]; then
    echo "$0: debootstrap and chroot need root; run it with sudo" >&2
    exit 2
fi

repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
. scripts/ensure-packages.sh
ensure_packages debootstrap git

revision=$(git rev-parse --verify "$commit^{commit}") || {
    echo "$0: $commit is not a commit of $repo" >&2
    exit 2
}
arch=$(dpkg --print-architecture)
mirror=()
[ -n "${DEBIAN_MIRROR:-}" ] && mirror=("$DEBIAN_MIRROR")
cache_dir=${CHECK_DEBIAN_CACHE:-/var/cache/ahnemetri-check}
tarball=$cache_dir/$release-$arch.tar.gz
base_dir=${CHECK_DEBIAN_DIR:-/var/tmp/ahnemetri-check}
mkdir -p "$cache_dir" "$base_dir"
root=$(mktemp -d "$base_dir/$release.XXXXXX")

started=$(date +%s)
elapsed() {
    local seconds=$(($(date +%s) - $1))
    printf '%d min %02d s' $((seconds / 60)) $((seconds % 60))
}
say() {
    printf '\n== check-debian %s: %s\n' "$release" "$*"
}

# Everything mounted below the new system, innermost last; unmounted in reverse order on every
# exit. The directory is only removed when nothing is mounted in it any more.
mounted=()
mount_into() {
    mount "$@"
    mounted+=("${!#}")
}
still_mounted() {
    awk -v root="$root" '$2 == root || index($2, root "/") == 1 { found = 1 } END { exit !found }' \
        /proc/self/mounts
}
status=2
cleanup() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount --lazy "${mounted[i]}" || true
    done
    if still_mounted; then
        echo "check-debian: something is still mounted below $root; left in place" >&2
    elif [ "$status" -eq 0 ] && [ "${CHECK_DEBIAN_KEEP:-0}" != 1 ]; then
        rm -rf --one-file-system "$root"
    else
        echo "check-debian: the $release system is kept in $root" >&2
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The cached tarball holds the packages of the base system, not an installed system, so the
# system is still bootstrapped (and its package scripts run) afresh from it.
if [ -z "$(find "$tarball" -mtime -7 2>/dev/null)" ]; then
    say "downloading the base system into $tarball"
    rm -f "$tarball"
    rm -rf "$root.tarball"
    debootstrap --variant=minbase --include=git,ca-certificates --make-tarball="$tarball.new" \
        "$release" "$root.tarball" "${mirror[@]}"
    rm -rf "$root.tarball"
    mv "$tarball.new" "$tarball"
fi
say "bootstrapping a minimal system in $root"
debootstrap --variant=minbase --include=git,ca-certificates --unpack-tarball="$tarball" \
    "$release" "$root" "${mirror[@]}"

mount_into -t proc proc "$root/proc"
mount_into -t sysfs sysfs "$root/sys"
mount_into --bind /dev "$root/dev"
mount_into --bind /dev/pts "$root/dev/pts"
mount_into -t tmpfs tmpfs "$root/dev/shm"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
# No services start inside the new system while packages are installed.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod +x "$root/usr/sbin/policy-rc.d"

say "cloning $revision"
git clone --quiet --no-local "$repo" "$root/root/ahnemetri"
git -C "$root/root/ahnemetri" checkout --quiet --detach "$revision"

say "running the test command: bash scripts/test.sh"
test_started=$(date +%s)
set +e
chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c 'cd /root/ahnemetri && bash scripts/test.sh'
status=$?
set -e

result="passed"
[ "$status" -eq 0 ] || result="FAILED (exit status $status)"
say "Debian $release ($(cat "$root/etc/debian_version")), $(git log -1 --format='%h %s' "$revision")"
echo "test command $result in $(elapsed "$test_started"); whole check $(elapsed "$started")"
exit "$status"
