#!/usr/bin/env bash
# The README's test command as a new machine meets it: a fresh Debian 12 root
# (debootstrap, with only git added), a fresh clone of a commit, then
# `bash scripts/test.sh` inside it with nothing of the project installed yet.
# Prints the command's own closing line (packages, configure, build, tests)
# and the whole wall time. Needs root, debootstrap and the network.
#
# Usage: scripts/measure-new-machine.sh [COMMIT]   (default: HEAD)
#   BASE=/var/tmp/vartemo-base.tar keeps the base system between runs (made
#   once; every run unpacks it afresh, so each starts without the packages).
#   KEEP=1 leaves the root in place after the run.
#   SPLIT=1 runs the command's parts one after the other and times each
#   (setup, build, then the command itself, which is then its tests): for
#   commits whose test script does not print its own split.
set -euo pipefail
cd "$(dirname "$0")/.."

commit=$(git rev-parse "${1:-HEAD}")
base=${BASE:-/var/tmp/vartemo-base.tar}
root=$(mktemp -d "${TMPDIR:-/var/tmp}/vartemo-new-machine.XXXXXX")
mounts=(proc sys dev dev/pts)

cleanup() {
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        mountpoint -q "$root/${mounts[i]}" && umount -l "$root/${mounts[i]}"
    done
    mountpoint -q "$root" && umount -l "$root"
    [ -n "${KEEP:-}" ] || rm -rf "$root"
}
trap cleanup EXIT

if [ ! -f "$base" ]; then
    command -v debootstrap >/dev/null || apt-get install -y debootstrap
    debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian
    # The machine's own package sources (updates and security included).
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        cp /etc/apt/sources.list.d/debian.sources "$root/etc/apt/sources.list.d/"
        rm -f "$root/etc/apt/sources.list"
    fi
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    chroot "$root" bash -c 'apt-get update -q && apt-get install -y -q --no-install-recommends git ca-certificates && apt-get clean'
    tar -C "$root" -cf "$base" .
else
    tar -C "$root" -xf "$base"
fi

# The root a mount point of its own, as on a machine: the programs that list
# the mounted drives find "/" then.
mount --bind "$root" "$root"
for m in "${mounts[@]}"; do mount --bind "/$m" "$root/$m"; done
git clone -q --no-local . "$root/root/vartemo"
git -C "$root/root/vartemo" checkout -q --detach "$commit"
git -C "$root/root/vartemo" remote remove origin

# in_root NAME COMMAND: runs COMMAND in the root's clone, output to its log.
in_root() {
    local t0
    t0=$(date +%s%N)
    chroot "$root" env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
        bash -c "cd /root/vartemo && $2" >>"$root/test.log" 2>&1 || status=$?
    awk -v n="$1" -v a="$t0" -v b="$(date +%s%N)" 'BEGIN { printf "%s %.1f s\n", n, (b - a) / 1e9 }' >>"$root/parts"
}

start=$(date +%s%N)
status=0
if [ -n "${SPLIT:-}" ]; then
    in_root packages 'bash scripts/setup.sh'
    [ "$status" -eq 0 ] && in_root 'configure+build' 'bash scripts/build.sh'
fi
[ "$status" -eq 0 ] && in_root 'test command' 'bash scripts/test.sh'
end=$(date +%s%N)
[ -n "${SPLIT:-}" ] && cat "$root/parts"
[ "$status" -eq 0 ] && tail -n 3 "$root/test.log" || tail -n 60 "$root/test.log"
awk -v a="$start" -v b="$end" -v c="$commit" -v s="$status" \
    'BEGIN { printf "new machine, %s: README test command %.1f s wall, exit %d\n", substr(c, 1, 7), (b - a) / 1e9, s }'
exit $status
