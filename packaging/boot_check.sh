#!/usr/bin/env bash
# boot_check.sh CACHE DEB LOAD: the package on a fresh Debian 12 booted with
# systemd in a container. It installs DEB, starts the service, plays a table
# against it with the load tool LOAD (bin/vorn-load of the same build), then
# removes and purges the package and checks that nothing of the service is
# left. CACHE keeps the bootstrapped system between runs; each run boots a copy
# of it with a network of its own. A manual check, run as root: exits 77
# (skipped) when debootstrap or systemd-nspawn (apt-get install debootstrap
# systemd-container) is missing or cannot boot.
set -euo pipefail
[ $# = 3 ] || { echo "usage: $0 CACHE DEB LOAD" >&2; exit 2; }
skip() { echo "skipped: $1"; exit 77; }
fail() { echo "FAIL: $1"; exit 1; }
step() { echo "== $*"; }
[ "$(id -u)" = 0 ] || skip "not run as root"
for tool in debootstrap systemd-nspawn nsenter pgrep apt-get; do
  command -v $tool >/dev/null || skip "$tool is not installed"
done
cache=$(realpath -m "$1") deb=$(realpath "$2") load=$(realpath "$3")
[ -f "$deb" ] && [ -x "$load" ] || fail "no $deb or $load"

# The host's own bookworm sources, for the bootstrap and inside the container.
sources=$(apt-get indextargets --format 'deb $(SITE) $(RELEASE) $(COMPONENT)' 'Identifier: Packages' |
  grep -E '^deb \S+ bookworm(-\S+)? ' | sort -u || true)
mirror=$(awk '$3 == "bookworm" { print $2; exit }' <<<"$sources")
[ -n "$mirror" ] || skip "apt knows no bookworm mirror (run apt-get update)"

if [ ! -e "$cache/ready" ]; then
  step "debootstrap bookworm from $mirror into $cache/rootfs"
  rm -rf "$cache/rootfs" && mkdir -p "$cache"
  timeout 1200 debootstrap --variant=minbase --include=systemd,systemd-sysv,dbus,iproute2 \
    bookworm "$cache/rootfs" "$mirror" >"$cache/debootstrap.log" 2>&1 ||
    { tail -5 "$cache/debootstrap.log"; skip "debootstrap failed"; }
  touch "$cache/ready"
fi

run=$(mktemp -d "$cache/run.XXXXXX")
root=$run/root nspawn=
cleanup() {
  if [ -n "$nspawn" ] && kill -0 "$nspawn" 2>/dev/null; then
    kill -TERM "$nspawn"  # the container halts; a second one ends it at once
    timeout 30 tail --pid="$nspawn" -f /dev/null || kill -TERM "$nspawn" 2>/dev/null || true
    timeout 10 tail --pid="$nspawn" -f /dev/null || kill -KILL "$nspawn" 2>/dev/null || true
    wait "$nspawn" 2>/dev/null || true
  fi
  rm -rf "$run"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
cp -a "$cache/rootfs" "$root"
echo "$sources" >"$root/etc/apt/sources.list"
echo vorn-boot >"$root/etc/hostname"
cp "$deb" "$root/root/"
cp "$load" "$root/usr/local/bin/vorn-load"
package=/root/${deb##*/}

# The container's network is its own and has no way out: what the install
# needs is fetched first, by the same apt in the same system, with the host's.
step "apt-get install --download-only $package (host network, not booted)"
timeout 900 systemd-nspawn -q -D "$root" --register=no --keep-unit --pipe env DEBIAN_FRONTEND=noninteractive \
  sh -ec "apt-get -q update; apt-get -q install -y --download-only $package" >"$run/fetch.log" 2>&1 ||
  { tail -20 "$run/fetch.log"; fail "could not fetch the package's dependencies"; }

# Neither the container nor its commands need a systemd on the host: it is not
# registered with one, and commands enter it through its namespaces.
step "boot"
systemd-nspawn -q -D "$root" -b --register=no --keep-unit --private-network --console=passive \
  >"$cache/boot.log" 2>&1 &
nspawn=$!
inside() { timeout "${limit:-60}" nsenter -t "$leader" -a -r -w env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin:/usr/local/bin \
  DEBIAN_FRONTEND=noninteractive SYSTEMD_PAGER= "$@"; }
apt() { limit=600 inside apt-get -q -o Dpkg::Use-Pty=0 "$@"; }
leader='' state='' until=$((SECONDS + 120))
while [ $SECONDS -lt $until ] && kill -0 $nspawn 2>/dev/null; do
  leader=$(pgrep -P $nspawn -x systemd || true)
  if [ -n "$leader" ]; then
    state=$(limit=5 inside systemctl is-system-running --wait 2>/dev/null || true)
    [ "$state" = running ] || [ "$state" = degraded ] && break
  fi
  sleep 1
done
case "$state" in
  running) ;;
  degraded) inside systemctl --failed --no-legend ;;
  *) tail -20 "$cache/boot.log"; skip "the container did not boot (state '$state')" ;;
esac
inside sh -c 'echo "booted: $(systemctl --version | head -1), $(cat /proc/1/comm) as PID 1"'

step "apt-get install $package"
apt install -y "$package" | grep -E '^[0-9]+ upgraded|^Setting up vorn'
[ "$(inside systemctl is-enabled vorn-server 2>&1 || true)" = disabled ] || fail "the service is not installed disabled"

step "systemctl start vorn-server"
inside systemctl start vorn-server
port=$(inside sed -n 's/^Port=\([0-9]*\).*/\1/p' /etc/vorn/server.ini)
listening() { [ -n "$(inside ss -Hltn "sport = :$port")" ]; }
for _ in $(seq 50); do listening && break; sleep 0.2; done
inside systemctl status --no-pager vorn-server || fail "the service is not running"
listening || fail "nothing listens on port $port"
pid=$(inside systemctl show -p MainPID --value vorn-server)
user=$(inside stat -c %u "/proc/$pid")
[ "$user" -ge 61184 ] && [ "$user" -le 65519 ] || fail "the server runs as uid $user, not a dynamic user"
echo "the server (pid $pid, dynamic uid $user) listens on port $port"

# Three joiners sit down beside the server's own player and play it out.
step "vorn-load against port $port"
limit=120 inside vorn-load --port "$port" --tables 1 --joiners-per-table 3 --think-ms 0 --seconds 40 --min-games 1 |
  grep -v '^ *[0-9]*s links' || fail "the load tool failed"
inside systemctl is-active vorn-server || fail "the service stopped under the load"
inside journalctl -u vorn-server --no-pager | tail -8
# Enabled by its administrator, the service must still leave nothing behind.
inside systemctl enable vorn-server

step "apt-get remove vorn"
apt remove -y vorn | grep '^Removing vorn'
! inside systemctl is-active -q vorn-server || fail "the service still runs after removal"
! listening || fail "port $port is still open after removal"
! inside test -e /usr/games/vorn-server || fail "the program is still there after removal"

step "apt-get purge vorn"
apt purge -y vorn | grep '^Purging configuration files for vorn'
left=$(inside sh -c 'ls -d /lib/systemd/system/vorn-server.service /etc/vorn /usr/lib/vorn /var/lib/private/vorn-server \
  /etc/systemd/system/*.wants/vorn-server.service /var/lib/systemd/deb-systemd-helper-*/*vorn-server* \
  /run/systemd/dynamic-uid/*vorn-server* 2>/dev/null' || true)
[ -z "$left" ] || fail "purge left $left"
[ "$(inside systemctl show -p LoadState --value vorn-server)" = not-found ] || fail "systemd still knows the service"
! inside dpkg -s vorn >/dev/null 2>&1 || fail "dpkg still knows the package"
echo "boot check passed"
