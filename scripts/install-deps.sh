#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the benchmarks
# need. Fast on a prepared machine: apt is asked only for what is missing.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  # windows, sound
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libgl-dev
  # a font for windows drawn offscreen (the tests, the README's picture)
  fonts-dejavu-core
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # real peers and independent readers used by the tests
  dovecot-pop3d python3 python3-aiosmtpd python3-dbf python3-dbfread libdbd-xbase-perl
  # the install test checks the menu entries with desktop-file-validate
  desktop-file-utils
  # real-world mail the mail tests read: Python's own e-mail test messages and
  # a collection of bounces from many mail servers
  libpython3.11-testsuite python3-flufl.bounce
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [[ $(id -u) -eq 0 ]] || SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
