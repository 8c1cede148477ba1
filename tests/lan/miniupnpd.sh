#!/bin/bash
# Runs Debian's miniupnpd in the foreground as the router of the namespace
# tests/lan/in_netns.sh makes (inside it only): the LAN on v0, the outside on
# v1, the nftables chains it fills made first, where it looks for them by
# default. Its files go in the folder $1.
set -eu
dir=$1
nft -f - <<'NFT'
table inet filter {
  chain forward { type filter hook forward priority 0; policy accept; jump miniupnpd; }
  chain miniupnpd { }
  chain prerouting { type nat hook prerouting priority -100; policy accept; jump prerouting_miniupnpd; }
  chain postrouting { type nat hook postrouting priority 100; policy accept; jump postrouting_miniupnpd; }
  chain prerouting_miniupnpd { }
  chain postrouting_miniupnpd { }
}
NFT
# The outside address must not be a private or reserved one, or the daemon
# forwards nothing; no packet is ever sent to it.
cat >"$dir/miniupnpd.conf" <<'CONF'
ext_ifname=v1
ext_ip=100.128.0.5
listening_ip=v0
port=0
enable_natpmp=no
enable_upnp=yes
secure_mode=yes
system_uptime=yes
uuid=3d3cec3a-8cf0-11e0-98ee-001a6bd2d07b
allow 1024-65535 10.77.0.0/24 1024-65535
deny 0-65535 0.0.0.0/0 0-65535
CONF
exec /usr/sbin/miniupnpd -f "$dir/miniupnpd.conf" -d -P "$dir/miniupnpd.pid"
