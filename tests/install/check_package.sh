#!/usr/bin/env bash
# check_package.sh <build folder> <application id> <version>
# Builds the Debian package with CPack and checks its dependencies and its files.
set -euo pipefail
build=$1 id=$2 version=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out") \
  >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; exit 1; }
deb=$(find "$work/out" -maxdepth 1 -name 'kollektar_*.deb')
[ -n "$deb" ] || { cat "$work/cpack.log" >&2; echo "FAIL: no package" >&2; exit 1; }
dpkg-deb -I "$deb"
field() { dpkg-deb -f "$deb" "$1"; }

[ "$(field Package)" = kollektar ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] ||
  fail "Architecture: $(field Architecture)"

# The libraries from dpkg-shlibdeps, with versions, and what is loaded at run time.
depends=$(field Depends)
for pkg in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6svg6 libmariadb3 \
           libc6 libstdc++6 fonts-liberation fonts-dejavu-core qt6-translations-l10n; do
  [[ ", $depends," == *", $pkg"[\ ,]* ]] || fail "Depends lacks $pkg: $depends"
done
[[ "$depends" == *"libqt6core6 (>="* ]] || fail "Depends has no versions from dpkg-shlibdeps"
[[ "$(field Recommends)" == *assistant-qt6* ]] || fail "Recommends: $(field Recommends)"
[[ "$(field Suggests)" == *mariadb-server* ]] || fail "Suggests: $(field Suggests)"

# The program, its entry, icon and metadata under /usr; nothing from the build besides.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' | grep -v '/$' | sort >"$work/files"
for f in /usr/bin/kollektar /usr/share/applications/$id.desktop \
         /usr/share/metainfo/$id.metainfo.xml /usr/share/icons/hicolor/scalable/apps/$id.svg \
         /usr/share/icons/hicolor/48x48/apps/$id.png; do
  grep -qx "$f" "$work/files" || fail "the package lacks $f"
done
others=$(grep -v '^/usr/bin/kollektar$\|^/usr/share/' "$work/files" || true)
[ -z "$others" ] || fail "the package holds beyond the program: $others"

# Stripped: no debug sections in the packaged program.
dpkg-deb -x "$deb" "$work/root"
if readelf -S "$work/root/usr/bin/kollektar" | grep -q '\.debug_info'; then
  fail "the packaged program is not stripped"
fi

[ "$failures" -eq 0 ] || exit 1
echo "package $(basename "$deb") checked"
