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

# Every entry root's, directories and the executable 755, other files 644;
# nothing outside the program's folder, the two links and share/.
while read -r perms owner _size _date _time path rest; do
  [ "$owner" = root/root ] || fail "$path belongs to $owner"
  case "$perms:$path" in
    d*) [ "$perms" = drwxr-xr-x ] || fail "$path is $perms" ;;
    l*:./usr/bin/vorn | l*:./usr/games/vorn) [ "$rest" = "-> ../lib/vorn/vorn" ] || fail "$path $rest" ;;
    *:./usr/lib/vorn/vorn) [ "$perms" = -rwxr-xr-x ] || fail "$path is $perms" ;;
    -*:./usr/lib/vorn/* | -*:./usr/share/*) [ "$perms" = -rw-r--r-- ] || fail "$path is $perms" ;;
    *) fail "unexpected $perms $path" ;;
  esac
done < <(dpkg-deb -c "$deb")

root="$out/root"
dpkg-deb -x "$deb" "$root"
for f in lib/vorn/Move.wav lib/vorn/Win.wav lib/vorn/help/index.html share/applications/org.vorn.Vorn.desktop \
         share/icons/hicolor/scalable/apps/org.vorn.Vorn.svg share/metainfo/org.vorn.Vorn.metainfo.xml \
         share/man/man6/vorn.6.gz share/doc/vorn/copyright share/doc/vorn/changelog.gz; do
  [ -s "$root/usr/$f" ] || fail "missing /usr/$f"
done
file -b "$root/usr/lib/vorn/vorn" | grep -q ', stripped' || fail "the executable is not stripped"
# The release the metadata and the changelog name is the package's own.
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/org.vorn.Vorn.metainfo.xml" ||
  fail "the metainfo's release is not $version"
zcat "$root/usr/share/doc/vorn/changelog.gz" | head -1 | grep -q "^vorn ($version) " ||
  fail "the changelog's top entry is not $version"
zcat "$root/usr/share/man/man6/vorn.6.gz" | grep -q "^\.TH VORN 6 .*\"Vorn $version\"" || fail "the manual page is not for $version"
exit $failed
