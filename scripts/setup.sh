#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, and
# only those that are missing. Runs apt-get as root, or through sudo.
set -u

packages=(
  cmake make g++ pkg-config clang-format
  qt6-base-dev qt6-serialport-dev libqcustomplot-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth imagemagick
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  run=()
elif command -v sudo >/dev/null 2>&1; then
  run=(sudo)
else
  echo "setup: missing packages (${missing[*]}) and neither root nor sudo to install them" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! "${run[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" >/tmp/tracely-setup.log 2>&1; then
  # A stale package index is the usual cause; refresh once and retry.
  "${run[@]}" apt-get update -q >>/tmp/tracely-setup.log 2>&1
  if ! "${run[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" >>/tmp/tracely-setup.log 2>&1; then
    echo "setup: apt-get could not install ${missing[*]} (see /tmp/tracely-setup.log)" >&2
    exit 1
  fi
fi
