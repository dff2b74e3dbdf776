#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need.
# Does nothing (and needs no root) when they are all present already.
set -euo pipefail

packages=(
  cmake make g++ ninja-build pkg-config
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools binutils-mingw-w64
  wine wine64 wine32:i386 libwine-dev
  xvfb xauth x11-utils imagemagick
  fonts-liberation fonts-wine fonts-noto-cjk
  libxml2-utils libxml2-dev
  openssl osslsigncode
  nsis wixl msitools
  clang libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# wine32 is an i386 package: the architecture must be known before the update.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
