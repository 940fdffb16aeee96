# A minimal Debian 12 in a folder, for proving that the project's own scripts set up everything on a
# machine that has nothing. Sourced by scripts/check-fresh-machine and scripts/check-package.
#
#   fresh_debian_create ROOT      debootstrap minbase plus the tools a new machine is assumed to have
#   fresh_debian_mount ROOT       /proc, /sys, /dev, /dev/pts, /dev/shm and the download cache inside
#   fresh_debian_run ROOT CMD...  runs CMD as root inside, with a clean environment
#   fresh_debian_run_as ROOT USER CMD...  the same as the normal user USER (made by `useradd -m`)
#   fresh_debian_unmount ROOT     unmounts everything below ROOT
#   fresh_debian_remove ROOT      unmounts, then deletes ROOT; refuses while anything is still mounted
#
# Downloaded packages are kept in FRESH_DEBIAN_CACHE between runs, so a second check does not fetch
# them again; nothing installed is ever reused.

FRESH_DEBIAN_SUITE=bookworm
FRESH_DEBIAN_MIRROR=${FRESH_DEBIAN_MIRROR:-http://deb.debian.org/debian}
FRESH_DEBIAN_CACHE=${FRESH_DEBIAN_CACHE:-/var/cache/qarto-groups-fresh-debian}
# What a freshly installed developer machine is assumed to hold besides the base system.
FRESH_DEBIAN_TOOLS=g++,cmake,make,git,pkg-config,python3,ca-certificates

fresh_debian_host_tools() {
    local missing=()
    command -v debootstrap >/dev/null || missing+=(debootstrap)
    [ -e /usr/share/keyrings/debian-archive-keyring.gpg ] || missing+=(debian-archive-keyring)
    if [ ${#missing[@]} -gt 0 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
    fi
}

fresh_debian_create() {
    local root=$1
    [ "$(id -u)" -eq 0 ] || { echo "fresh-debian: must run as root (debootstrap and chroot)" >&2; return 1; }
    fresh_debian_host_tools
    mkdir -p "$root" "$FRESH_DEBIAN_CACHE/debootstrap" "$FRESH_DEBIAN_CACHE/apt"
    # The system's root folder, often made by mktemp -d (mode 700), must let normal users in.
    chmod 755 "$root"
    debootstrap --variant=minbase --include="$FRESH_DEBIAN_TOOLS" \
        --cache-dir="$FRESH_DEBIAN_CACHE/debootstrap" \
        "$FRESH_DEBIAN_SUITE" "$root" "$FRESH_DEBIAN_MIRROR" >"$root.debootstrap.log" 2>&1 || {
        tail -20 "$root.debootstrap.log" >&2
        return 1
    }
    rm -f "$root.debootstrap.log"
    cat >"$root/etc/apt/sources.list" <<LIST
deb $FRESH_DEBIAN_MIRROR $FRESH_DEBIAN_SUITE main
deb $FRESH_DEBIAN_MIRROR $FRESH_DEBIAN_SUITE-updates main
deb ${FRESH_DEBIAN_MIRROR%/debian}/debian-security $FRESH_DEBIAN_SUITE-security main
LIST
    # Services installed inside must never start: they would run on the host's network and devices.
    printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
    chmod +x "$root/usr/sbin/policy-rc.d"
    cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
}

fresh_debian_mount() {
    local root=$1
    mount -t proc proc "$root/proc"
    mount -t sysfs sysfs "$root/sys"
    mount --bind /dev "$root/dev"
    mount -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts"
    mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
    mount --bind "$FRESH_DEBIAN_CACHE/apt" "$root/var/cache/apt/archives"
}

# Mount points at or below ROOT, deepest first.
fresh_debian_mounts() {
    local root
    root=$(realpath "$1")
    awk -v root="$root" '{ p = $5; gsub(/\\040/, " ", p); if (p == root || index(p, root "/") == 1) print p }' \
        /proc/self/mountinfo | sort -r
}

fresh_debian_unmount() {
    local point
    for _ in 1 2 3; do
        [ -n "$(fresh_debian_mounts "$1")" ] || return 0
        while read -r point; do
            [ -n "$point" ] && { umount "$point" 2>/dev/null || umount -l "$point" 2>/dev/null || true; }
        done < <(fresh_debian_mounts "$1")
    done
    [ -z "$(fresh_debian_mounts "$1")" ]
}

fresh_debian_remove() {
    local root=$1
    [ -d "$root" ] || return 0
    if ! fresh_debian_unmount "$root"; then
        echo "fresh-debian: $root still has mounts; left in place:" >&2
        fresh_debian_mounts "$root" >&2
        return 1
    fi
    rm -rf --one-file-system "$root"
}

fresh_debian_run() {
    local root=$1
    shift
    chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
}

fresh_debian_run_as() {
    local root=$1 user=$2
    shift 2
    fresh_debian_run "$root" runuser -u "$user" -- /usr/bin/env -i HOME="/home/$user" USER="$user" \
        LOGNAME="$user" LANG=C.UTF-8 TERM=dumb PATH=/usr/local/bin:/usr/bin:/bin "$@"
}
