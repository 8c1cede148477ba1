#!/usr/bin/env bash
# check_package.sh contents CPACK BUILD VERSION: packs the build tree into a
# Debian package in BUILD/package-check and checks its control fields and files.
# check_package.sh lintian BUILD VERSION: runs lintian on that package.
# Exits 77 (skipped) when the Debian tools it needs are not installed.
set -euo pipefail
mode=$1
skip() { echo "skipped: $1"; exit 77; }
fail() { echo "FAIL: $1"; failed=1; }
failed=0

if [ "$mode" = lintian ]; then
  build=$2 version=$3
  command -v lintian >/dev/null || skip "lintian is not installed"
  command -v dpkg >/dev/null || skip "dpkg is not installed"
  deb="$build/package-check/vorn_${version}_$(dpkg --print-architecture).deb"
  [ -f "$deb" ] || skip "no package was made"
  # Meant findings are overridden in the package itself, each with its reason.
  exec lintian --fail-on error,warning "$deb"
fi

cpack=$2 build=$3 version=$4
for tool in dpkg dpkg-deb dpkg-shlibdeps file; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
out="$build/package-check"
rm -rf "$out"
"$cpack" --config "$build/CPackConfig.cmake" -B "$out" >"$out.log" 2>&1 || { cat "$out.log"; exit 1; }
arch=$(dpkg --print-architecture)
deb="$out/vorn_${version}_${arch}.deb"
[ -f "$deb" ] || { echo "no $deb"; ls "$out"; exit 1; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = vorn ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
[[ "$(field Description)" == "four-seat shedding card game"$'\n'* ]] || fail "Description: $(field Description)"
# The fonts and the toolkit's texts by name, the libraries from the executable.
depends=$(field Depends)
for dep in fonts-noto-cjk qt6-translations-l10n 'libc6 (' 'libqt6widgets6 (' 'libqt6multimedia6 ('; do
  [[ "$depends" == *"$dep"* ]] || fail "Depends lacks $dep: $depends"
done

# Every entry root's, directories and the executables 755, other files 644;
# nothing outside the program's folder, the links to its two commands, share/,
# the service and its settings.
while read -r perms owner _size _date _time path rest; do
  [ "$owner" = root/root ] || fail "$path belongs to $owner"
  case "$perms:$path" in
    d*) [ "$perms" = drwxr-xr-x ] || fail "$path is $perms" ;;
    l*:./usr/bin/vorn | l*:./usr/games/vorn | l*:./usr/bin/vorn-server | l*:./usr/games/vorn-server)
      [ "$rest" = "-> ../lib/vorn/${path##*/}" ] || fail "$path $rest" ;;
    *:./usr/lib/vorn/vorn | *:./usr/lib/vorn/vorn-server) [ "$perms" = -rwxr-xr-x ] || fail "$path is $perms" ;;
    -*:./usr/lib/vorn/* | -*:./usr/share/* | -*:./etc/vorn/server.ini | -*:./lib/systemd/system/vorn-server.service)
      [ "$perms" = -rw-r--r-- ] || fail "$path is $perms" ;;
    *) fail "unexpected $perms $path" ;;
  esac
done < <(dpkg-deb -c "$deb")

# The settings are the administrator's; the scripts are executable shell.
control="$out/control"
dpkg-deb -e "$deb" "$control"
[ "$(cat "$control/conffiles")" = /etc/vorn/server.ini ] || fail "conffiles: $(cat "$control/conffiles")"
for script in postinst prerm postrm; do
  [ -x "$control/$script" ] && sh -n "$control/$script" || fail "the $script script"
done

root="$out/root"
dpkg-deb -x "$deb" "$root"
root=$(realpath "$root")
for f in usr/lib/vorn/Move.wav usr/lib/vorn/Win.wav usr/lib/vorn/help/index.html \
         usr/share/applications/org.vorn.Vorn.desktop usr/share/icons/hicolor/scalable/apps/org.vorn.Vorn.svg \
         usr/share/metainfo/org.vorn.Vorn.metainfo.xml usr/share/doc/vorn/copyright usr/share/doc/vorn/changelog.gz \
         usr/games/vorn-server etc/vorn/server.ini lib/systemd/system/vorn-server.service; do
  [ -s "$root/$f" ] || fail "missing /$f"
done
for program in vorn vorn-server; do
  file -b "$root/usr/lib/vorn/$program" | grep -q ', stripped' || fail "$program is not stripped"
done
# The release the metadata and the changelog name is the package's own.
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/org.vorn.Vorn.metainfo.xml" ||
  fail "the metainfo's release is not $version"
zcat "$root/usr/share/doc/vorn/changelog.gz" | head -1 | grep -q "^vorn ($version) " ||
  fail "the changelog's top entry is not $version"
zcat "$root/usr/share/man/man6/vorn.6.gz" | grep -q "^\.TH VORN 6 .*\"Vorn $version\"" || fail "vorn(6) is not for $version"
zcat "$root/usr/share/man/man6/vorn-server.6.gz" | grep -q "^\.TH VORN\\\\-SERVER 6 .*\"Vorn $version\"" ||
  fail "vorn-server(6) is not for $version"

# The unit as systemd reads it, its program and manual page those of the
# package, and hardened: its exposure, from 0 to 100, stays in the low range.
unit="$out/vorn-server.service"
exec_start="ExecStart=/usr/games/vorn-server --config /etc/vorn/server.ini"
grep -qx "$exec_start" "$root/lib/systemd/system/vorn-server.service" || fail "the unit does not run $exec_start"
sed "s#^ExecStart=/#ExecStart=$root/#" "$root/lib/systemd/system/vorn-server.service" >"$unit"
if command -v systemd-analyze >/dev/null; then
  manual=--man=yes
  command -v man >/dev/null || manual=--man=no
  MANPATH="$root/usr/share/man" systemd-analyze verify $manual "$unit" || fail "the unit does not verify"
  systemd-analyze security --offline=yes --threshold=20 "$unit" >/dev/null || fail "the unit's exposure is above 2.0"
fi

# The maintainer scripts on the unpacked tree: installed, the service stays
# disabled; enabled by its administrator, it stays so through an upgrade;
# removed, the game's settings go; purged, nothing of the service is left.
if command -v deb-systemd-helper >/dev/null; then
  maint() { DPKG_ROOT="$root" DPKG_MAINTSCRIPT_PACKAGE=vorn "$control/$1" "${@:2}" || fail "$* failed"; }
  wants="$root/etc/systemd/system/multi-user.target.wants/vorn-server.service"
  maint postinst configure
  [ ! -L "$wants" ] || fail "the service is enabled on install"
  DPKG_ROOT="$root" DPKG_MAINTSCRIPT_PACKAGE=vorn deb-systemd-helper enable vorn-server.service
  maint postinst configure "$version"
  [ -L "$wants" ] || fail "an upgrade disabled the service"
  touch "$root/usr/lib/vorn/Vorn.ini"
  maint prerm remove
  maint postrm remove
  [ ! -e "$root/usr/lib/vorn/Vorn.ini" ] || fail "removal left the settings file"
  maint postrm purge
  left=$(find "$root/etc/systemd" "$root/var" \( -type f -o -type l \) -print 2>/dev/null || true)
  [ -z "$left" ] || fail "purge left $left"
fi

# The unpacked server with the sample settings on a port of its own: it seats
# a link and ends cleanly on SIGTERM.
log="$out/server.log"
"$root/usr/games/vorn-server" --config "$root/etc/vorn/server.ini" --port 0 2>"$log" &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
port=
for _ in $(seq 100); do
  port=$(sed -n 's/.*listening on port \([0-9]*\).*/\1/p' "$log")
  [ -n "$port" ] || ! kill -0 $server 2>/dev/null && break
  sleep 0.1
done
if [ -z "$port" ]; then
  fail "the server did not listen: $(cat "$log")"
else
  exec 3<>"/dev/tcp/127.0.0.1/$port"
  timeout 10 grep -qF '[Seat]' <&3 || fail "the server seated no link"
  exec 3<&-
fi
kill -TERM $server 2>/dev/null || true
wait $server && status=0 || status=$?
[ $status = 0 ] || fail "the server ended with $status on SIGTERM"
grep -q "stopping on SIGTERM" "$log" || fail "the server did not log its stop: $(cat "$log")"
exit $failed
