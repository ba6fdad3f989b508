#!/usr/bin/env bash
# desktop-root.sh [DIR]: prints the folder of a minimal Debian 12 root that has, beyond
# debootstrap's minbase, only what a stock desktop brings (Mesa's GL drivers and dispatch, the X11
# client libraries, ALSA) and Xvfb to show on; makes it first if it is missing or incomplete.
#
# Made once and kept (default /var/cache/tolva-release/bookworm-desktop, outside any checkout, so
# fresh clones share it): a stamp written last says it is complete. Nothing here removes a complete
# root; only a half-made one left by an interrupted run is cleared, and never while anything is
# mounted inside it. Needs root (debootstrap, chroot) and the machine's own Debian package source.
set -euo pipefail
root=${1:-${TOLVA_RELEASE_ROOT:-/var/cache/tolva-release/bookworm-desktop}}
stamp=$root/.tolva-desktop-root
suite=bookworm
# What a stock desktop has that minbase lacks, and the X server the test shows on.
packages=(
    libgl1 libglx-mesa0 libgl1-mesa-dri libegl1 libegl-mesa0
    libx11-6 libx11-xcb1 libxcb1 libxext6 libxrandr2 libxcursor1 libxrender1 libxi6 libxfixes3
    libxinerama1 libxxf86vm1
    libasound2
    xvfb
)

if [ -f "$stamp" ]; then
    echo "$root"
    exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "desktop-root.sh: making the root needs root (debootstrap)" >&2
    exit 1
fi

# The package source this machine installs from (deb822 or one-line form, the main archive).
mirror=$(grep -hE '^(URIs:|deb )' /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null |
         grep -oE 'https?://[^ ]+/debian/?( |$)' | head -n1 | tr -d ' ' || true)
if [ -z "$mirror" ]; then
    echo "desktop-root.sh: no Debian archive found in this machine's apt sources" >&2
    exit 1
fi

parent=$(dirname -- "$root")
mkdir -p "$parent"
exec 9> "$parent/.lock"
flock -w 900 9 || { echo "desktop-root.sh: another run holds $parent/.lock" >&2; exit 1; }
if [ -f "$stamp" ]; then  # made by the run we waited for
    echo "$root"
    exit 0
fi

. "$(dirname "$0")/mounts.sh"

work=$root.partial
trap 'unmount_under "$work"' EXIT
if [ -e "$work" ]; then
    unmount_under "$work"
    if [ -n "$(mounts_under "$work")" ]; then
        echo "desktop-root.sh: $work has mounts inside; not touching it" >&2
        exit 1
    fi
    rm -rf --one-file-system -- "$work"
fi
if [ -e "$root" ]; then
    echo "desktop-root.sh: $root exists but has no stamp; move it away first" >&2
    exit 1
fi
echo "desktop-root.sh: making $root from $mirror (once; a minute or two)" >&2
include=$(IFS=,; echo "${packages[*]}")
timeout 1800 debootstrap --variant=minbase --include="$include" "$suite" "$work" "$mirror" \
    > "$parent/debootstrap.log" 2>&1 ||
    { tail -n 20 "$parent/debootstrap.log" >&2; echo "desktop-root.sh: debootstrap failed" >&2; exit 1; }
unmount_under "$work"
# Package lists and downloaded packages are not part of a desktop.
rm -rf --one-file-system -- "$work/var/cache/apt/archives/"*.deb "$work/var/lib/apt/lists/"*_Packages
date -u +%FT%TZ > "$work/.tolva-desktop-root"
mv -- "$work" "$root"
echo "$root"
