# mounts.sh, sourced by the release's root scripts: the mount points under a folder, and their
# unmounting, deepest first, so that nothing mounted for a run outlives it.
mounts_under() {
    awk -v top="$1" '{ gsub(/\\040/, " ", $5); if ($5 == top || index($5, top "/") == 1) print $5 }' \
        /proc/self/mountinfo | sort -r
}
unmount_under() {
    local point
    while IFS= read -r point; do
        umount -- "$point" 2>/dev/null || umount -l -- "$point" 2>/dev/null || true
    done < <(mounts_under "$1")
}
