#!/usr/bin/env bash
# check_install.sh <build folder> <application id> <version> <1 when the help is built>
# Installs into a fresh prefix with a blank in its name and checks what a desktop and the
# program need there.
set -euo pipefail
build=$1 id=$2 version=$3 help=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root="$work/Kollektar Test"
prefix="$root/usr"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" || {
  cat "$work/install.log" >&2; exit 1; }

share="$prefix/share"
desktop="$share/applications/$id.desktop"
metainfo="$share/metainfo/$id.metainfo.xml"
exe="$prefix/bin/kollektar"

# The program: installed alone in bin, no libraries, headers or test programs beside it.
[ -x "$exe" ] || fail "no executable $exe"
others=$(cd "$prefix" && find . -type f ! -path './share/*' ! -path './bin/kollektar' | sort)
[ -z "$others" ] || fail "installed beyond the program: $others"

# A harmless start: the version, the same as the project's and the metadata's newest release.
out=$("$exe" --version 2>&1) || fail "kollektar --version failed: $out"
[ "$out" = "kollektar $version" ] || fail "kollektar --version printed '$out'"
grep -q "<release version=\"$version\"" "$metainfo" ||
  fail "the metadata's releases do not name version $version"

# The menu entry: valid, German, starting the installed program with the installed icon.
[ -f "$desktop" ] || fail "no desktop entry $desktop"
if [ -f "$desktop" ]; then
  out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
  [ -z "$out" ] || fail "desktop-file-validate: $out"
  key() { sed -n "s/^$1=//p" "$desktop"; }
  [ "$(key Exec)" = kollektar ] || fail "Exec=$(key Exec) is not the installed program"
  [ "$(key Comment)" = "Verwaltet die Multimediabibliothek eines Privathaushaltes" ] ||
    fail "Comment=$(key Comment)"
  [[ "$(key Keywords)" == *Bücher* ]] || fail "Keywords=$(key Keywords) are not German"
  [[ ";$(key Categories)" == *";Office;"* ]] || fail "Categories=$(key Categories)"
  icon=$(key Icon)
  [ "$icon" = "$id" ] || fail "Icon=$icon"
  hicolor="$share/icons/hicolor"
  [ -f "$hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon.svg"
  for size in 16 22 24 32 48 64 128 256; do
    png="$hicolor/${size}x${size}/apps/$icon.png"
    if [ ! -f "$png" ]; then
      fail "no icon $png"
      continue
    fi
    # Width and height from the PNG header.
    dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" \
                                                     $5*16777216+$6*65536+$7*256+$8}')
    [ "$dims" = "${size}x${size}" ] || fail "$png is $dims"
  done
fi

# The software centre's metadata: valid, and valid together with the entry and icon it names.
[ -f "$metainfo" ] || fail "no metadata $metainfo"
out=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1) || fail "appstreamcli: $out"
out=$(appstreamcli validate-tree --no-net "$root" 2>&1) || fail "appstreamcli validate-tree: $out"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "the metadata does not launch $id.desktop"

# The help: where the program looks for it beside its own folder.
if [ "$help" = 1 ]; then
  for f in kollektar_hilfe.qch kollektar_hilfe.qhc; do
    [ -s "$prefix/bin/../share/kollektar/$f" ] || fail "no help file share/kollektar/$f"
  done
fi

if [ "$failures" -gt 0 ]; then
  find "$root" -type f | sed "s|^$root||" | sort >&2
  exit 1
fi
echo "installed and checked under $prefix"
