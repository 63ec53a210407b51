#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the demo and the packaging need, and only
# those that are missing: apt-get runs as root, or through sudo, only when something is.
# Elsewhere (no dpkg or apt-get) it checks the tools it can name and leaves the libraries to
# CMake, which names any it cannot find.
#   scripts/setup.sh        what the build, tests, demo and packaging need
#   scripts/setup.sh fuzz   those and clang with its runtime (libFuzzer), for make fuzz only
set -u

packages=(
  cmake make g++ pkg-config clang-format gzip python3
  qt6-base-dev qt6-serialport-dev qt6-svg-dev libqcustomplot-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth imagemagick
  dpkg-dev desktop-file-utils appstream
)
if [ "${1:-}" = fuzz ]; then
  packages+=(clang libclang-rt-dev)
fi

if ! command -v dpkg-query >/dev/null 2>&1 || ! command -v apt-get >/dev/null 2>&1; then
  missing=()
  tools=(cmake make c++ gzip python3)
  [ "${1:-}" = fuzz ] && tools+=(clang++)
  for tool in "${tools[@]}"; do
    command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: not a Debian system and these tools are missing: ${missing[*]}" >&2
    echo "       install them (and Qt 6 Widgets and Serial Port, QCustomPlot for Qt 6," >&2
    echo "       GoogleTest) with your system's package manager" >&2
    exit 1
  fi
  exit 0
fi

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
