#!/bin/bash
# Builds the Debian package of a build folder with cpack, checks it with lintian (an error
# fails, warnings are shown), unpacks it into an empty root and converts a sample with the
# unpacked folverin-cli, which must find its worker and modules under its own usr/lib/folverin.
# Usage: debian-package.sh BUILD-FOLDER DEBIAN-VERSION SAMPLE-PDF
set -euo pipefail
build=$1 version=$2 sample=$3

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
for tool in cpack lintian dpkg-deb dpkg-shlibdeps appstreamcli pdftotext gzip; do
  command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/setup"
done

work=$(mktemp -d)
lintian=
cleanup() {
  set +e
  if [ -n "$lintian" ]; then
    kill "$lintian" 2>/dev/null
    wait "$lintian" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

cpack -G DEB -B "$work/package" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack did not make the package"; }
deb=$work/package/folverin_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb") in: $(ls "$work/package")"
echo "$(basename "$deb"): $(du -k "$deb" | cut -f1) KiB"

# Lintian takes a while: it checks while the package is unpacked and run.
lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 &
lintian=$!

# The libraries the programs link, found by dpkg-shlibdeps.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6widgets6 libpoppler libtesseract; do
  [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
for file in usr/lib/folverin/folverin usr/lib/folverin/folverin-cli usr/lib/folverin/folverin-worker \
  usr/lib/folverin/folverin-engine.so usr/lib/folverin/folverin-ocr.so usr/lib/folverin/tips.txt \
  usr/lib/folverin/Unicode/Latin2.unicodeMap usr/share/applications/folverin.desktop \
  usr/share/metainfo/example.corvanta.folverin.metainfo.xml usr/share/icons/hicolor/48x48/apps/folverin.png \
  usr/share/icons/hicolor/scalable/apps/folverin.svg usr/share/man/man1/folverin.1.gz \
  usr/share/man/man1/folverin-cli.1.gz usr/share/doc/folverin/copyright usr/share/doc/folverin/changelog.Debian.gz; do
  [ -f "$root/$file" ] || fail "the package lacks /$file"
done
[ "$(readlink "$root/usr/bin/folverin-cli")" = ../lib/folverin/folverin-cli ] || fail "/usr/bin/folverin-cli is no relative link"
gzip -t "$root/usr/share/man/man1/folverin-cli.1.gz" || fail "the manual page is no gzip file"
# The metainfo as installed, with the desktop entry and icons it names.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli rejects the installed metainfo"

# The unpacked program converts as pdftotext extracts, with its workers and with its engine
# module in its own process, finding both beside itself.
pdftotext -layout -eol dos -enc UTF-8 "$sample" "$work/expected.txt"
for jobs in 2 1; do
  env -u LD_LIBRARY_PATH HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" \
    XDG_CACHE_HOME="$work/home/cache" "$root/usr/bin/folverin-cli" --no-settings --encoding UTF-8 -q \
    -j "$jobs" -o "$work/out-$jobs" "$sample" || fail "the unpacked folverin-cli -j $jobs failed"
  cmp "$work/expected.txt" "$work/out-$jobs/$(basename "${sample%.pdf}").txt" ||
    fail "the unpacked folverin-cli -j $jobs differs from pdftotext"
done
lintian_status=0
wait "$lintian" || lintian_status=$?
lintian=
grep -v '^running with root privileges' "$work/lintian.log" || true
[ "$lintian_status" -eq 0 ] || fail "lintian reports errors"
echo "The package installs and converts."
