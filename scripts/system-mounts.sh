# Sourced by the scripts that run things in a Debian system of their own (scripts/web.sh,
# scripts/windows.sh): the mounts such a system needs, each one recorded, so that the script
# undoes them all at its end, whatever happens (unmount_all in its EXIT trap).

mounted=()

mount_into() { # mount's arguments, the mount point last
    mount "$@"
    mounted+=("${!#}")
}

# The kernel's file systems and the devices, inside the system at ROOT.
mount_system() { # root
    mount_into -t proc proc "$1/proc"
    mount_into -t sysfs sysfs "$1/sys"
    mount_into --bind /dev "$1/dev"
    mount_into --bind /dev/pts "$1/dev/pts"
    mount_into -t tmpfs tmpfs "$1/dev/shm"
}

# Undoes every mount made, the last first.
unmount_all() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount --lazy "${mounted[i]}" || true
    done
    mounted=()
}
