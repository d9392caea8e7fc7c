#!/bin/sh
# Installs the package in a fresh Debian 12 root, starts both programs from
# there, removes the package and checks that none of its files stayed.
# Needs root, debootstrap and the network (Debian's archive).
# Usage: scripts/check-package-install.sh DEB [ROOT]
#   ROOT: a root made earlier by debootstrap to reuse (default: made anew in a
#   temporary directory and removed afterwards).
set -eu
deb=$(realpath "$1")
root=${2:-}
if [ -z "$root" ]; then
  root=$(mktemp -d)
  trap 'umount "$root/proc" 2>/dev/null || true; rm -rf "$root"' EXIT
  debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian
fi
cp "$deb" "$root/tmp/"
name=$(basename "$deb")
mountpoint -q "$root/proc" || mount -t proc proc "$root/proc"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

in_root find / -xdev -path /proc -prune -o -print | sort > "$root/tmp/before"
in_root apt-get update
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y "/tmp/$name"
in_root dpkg -L lanternpost > "$root/tmp/owned"

in_root lanternpost-cli --version
in_root sh -c 'mkdir -p /tmp/data && lanternpost-cli --data-dir /tmp/data init && lanternpost-cli --data-dir /tmp/data boxes'
in_root man -w lanternpost lanternpost-cli
in_root env LANG=ja_JP.UTF-8 man -w lanternpost-cli
# The desktop program as the menu entry starts it (Exec=lanternpost %u),
# on the offscreen platform: it opens its windows and saves a picture.
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/lanternpost.desktop")
echo "menu entry: $exec_line"
in_root env QT_QPA_PLATFORM=offscreen LANTERNPOST_NO_DIALOGS=1 \
  lanternpost --data-dir /tmp/data --screenshot /tmp/started.png
test -s "$root/tmp/started.png"

in_root apt-get remove -y lanternpost
left=0
while IFS= read -r path; do
  if [ -f "$root$path" ] || [ -L "$root$path" ]; then
    echo "left behind: $path"
    left=1
  fi
done < "$root/tmp/owned"
# Every directory the package made is gone too, unless another package uses it.
in_root find / -xdev -path /proc -prune -o -path /tmp -prune -o -path /var -prune -o -print | sort > "$root/tmp/after"
new=$(comm -13 "$root/tmp/before" "$root/tmp/after" | grep -i lanternpost || true)
if [ -n "$new" ]; then
  echo "left behind after removal:"
  echo "$new"
  left=1
fi
umount "$root/proc" 2>/dev/null || true
[ "$left" -eq 0 ] && echo "install, start and removal of $name: clean"
