#!/bin/bash
# Runs a program in a network namespace of its own with two linked interfaces
# (10.77.0.1 and 10.77.0.2, fd77::1 and fd77::2), so that what it broadcasts
# never leaves it; IPv4 multicast goes out of v0 and comes in at v1. Exits 77
# (skipped) where namespaces cannot be made.
set -u
command -v unshare >/dev/null && command -v ip >/dev/null || exit 77
unshare -rn true 2>/dev/null || exit 77
exec unshare -rn bash -c '
set -e
echo 0 >/proc/sys/net/ipv6/conf/default/accept_dad 2>/dev/null || true
ip link set lo up
ip link add v0 type veth peer name v1
ip addr add 10.77.0.1/24 dev v0
ip addr add 10.77.0.2/24 dev v1
ip addr add fd77::1/64 dev v0 nodad
ip addr add fd77::2/64 dev v1 nodad
ip link set v0 up
ip link set v1 up
ip route add 224.0.0.0/4 dev v0
exec "$@"' netns "$@"
