#!/usr/bin/env bash
# Checks what an installation and the .deb hold: the desktop entry and the AppStream data
# pass their validators, a DESTDIR install and the package list exactly installed-files.txt.
# Usage: packaging/validate.sh [package build dir, default build-package]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build-package}" && pwd)
expected="$here/installed-files.txt"
status=0

echo "== desktop-file-validate"
desktop-file-validate "$here"/*.desktop || status=1
echo "== appstreamcli validate --no-net"
appstreamcli validate --no-net "$here"/*.metainfo.xml || status=1

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
echo "== DESTDIR install (prefix /usr)"
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
if ! diff -u "$expected" <(cd "$stage" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort); then
  echo "validate: the installed files differ from $expected" >&2
  status=1
fi

echo "== dpkg-deb -c"
debs=("$build"/tracely_*.deb)
if [ ! -f "${debs[0]}" ]; then
  echo "validate: no tracely_*.deb in $build (run make package)" >&2
  exit 1
fi
deb="${debs[0]}"
dpkg-deb -c "$deb"
if ! diff -u "$expected" <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | LC_ALL=C sort); then
  echo "validate: the package's files differ from $expected" >&2
  status=1
fi
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libc6 libqt6widgets6 libqt6serialport6; do
  if ! grep -q "\b$lib\b" <<<"$depends"; then
    echo "validate: Depends lacks $lib (dpkg-shlibdeps did not run?)" >&2
    status=1
  fi
done
exit $status
