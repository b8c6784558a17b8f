#!/usr/bin/env bash
# Installs the packages on a fresh Debian 12 system, as root would on a new machine, and uses them:
# an operator imports a game, prints its statistics and opens it (offscreen); then the system is
# booted in a container, where the server runs as its service and is killed, restarted and stopped.
# Needs root, debootstrap and systemd-container, and reaches Debian's mirror; run by hand.
#   scripts/try_packages_in_debian.sh ROOTFS PACKAGES_DIR GAME_FILE
set -euo pipefail
root=$1
packages=$(realpath "$2")
game=$(realpath "$3")

if [ ! -x "$root/usr/bin/apt-get" ]; then
  debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"
rm -rf "$root/tmp/debs" && mkdir -p "$root/tmp/debs"
cp "$packages"/*.deb "$root/tmp/debs/"
cp "$game" "$root/tmp/game.log"
in_root() { chroot "$root" env DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 "$@"; }
# The programs find their files through /proc/self/exe, as on a booted system.
mountpoint -q "$root/proc" || mount -t proc proc "$root/proc"
trap 'umount "$root/proc" 2>/dev/null || true' EXIT

echo "== apt install"
in_root apt-get update -qq
in_root sh -c 'apt-get install -y -q --no-install-recommends /tmp/debs/*.deb' | grep -E "^(Setting up velmora|E:)" || true
in_root dpkg -l 'velmora*' | grep '^ii'
in_root getent passwd velmora-statserver
in_root ls -ld /var/lib/velmora-statserver

echo "== an operator's first game"
in_root sh -c 'id scorer >/dev/null 2>&1 || useradd -m scorer'
in_root su - scorer -c '
  number=$(velmora-cli import /tmp/game.log) && echo "imported $number" &&
  velmora-cli stats "$number" | grep -c "\"PTS\"" &&
  QT_QPA_PLATFORM=offscreen timeout 6 velmora --game "$number"; echo "velmora ran until stopped: status $?" &&
  grep "Opening game" ~/.local/share/Velmora/*.log | tail -1'

umount "$root/proc"
command -v systemd-nspawn > /dev/null || { echo "no systemd-nspawn: the service is not booted"; exit 0; }
echo "== the service, booted with systemd"
in_root apt-get install -y -q --no-install-recommends systemd systemd-sysv dbus > /dev/null
cat > "$root/root/probe.sh" <<'EOF'
exec > /root/probe.out 2>&1
sleep 3
systemctl show -p ActiveState,User,MainPID velmora-statserver
exec 3<>/dev/tcp/127.0.0.1/8080 && printf 'GET /default.asp?do=ping HTTP/1.0\r\n\r\n' >&3 && echo "ping: $(tail -1 <&3)"
exec 3<&-
pid=$(systemctl show -p MainPID --value velmora-statserver)
grep -E "^(Uid|CapEff|NoNewPrivs|Seccomp):" "/proc/$pid/status"
nsenter -t "$pid" -m sh -c 'touch /etc/probe; touch /var/lib/velmora-statserver/probe && echo "state folder writable"'
kill -9 "$pid"; sleep 4
echo "after SIGKILL:"; systemctl show -p ActiveState,NRestarts velmora-statserver
systemctl stop velmora-statserver
echo "after stop:"; systemctl show -p Result,ExecMainStatus velmora-statserver
systemd-analyze security velmora-statserver | tail -1
EOF
cat > "$root/etc/systemd/system/probe.service" <<'EOF'
[Unit]
After=velmora-statserver.service
[Service]
Type=oneshot
ExecStart=/bin/bash /root/probe.sh
ExecStartPost=/bin/systemctl poweroff
EOF
ln -sf /etc/systemd/system/probe.service "$root/etc/systemd/system/multi-user.target.wants/probe.service"
timeout 180 systemd-nspawn -q -D "$root" -b --register=no --keep-unit > /dev/null 2>&1 || true
rm -f "$root/etc/systemd/system/multi-user.target.wants/probe.service"
cat "$root/root/probe.out"
