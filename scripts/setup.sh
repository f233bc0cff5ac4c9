#!/usr/bin/env bash
# Installs the Debian packages that building and testing Rovelog needs.
# Idempotent and quiet: only missing packages are installed.
set -euo pipefail
packages=(
  cmake make g++ clang libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev zlib1g-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev
  wine64 xvfb fonts-wine fonts-dejavu-core imagemagick socat locales
  gpsbabel libxml2-utils unzip zip p7zip-full python3
)
missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}" >/dev/null
fi
# Wine needs a real Russian UTF-8 locale for the code page 1251 and Cyrillic file names.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
fi
