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
sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $sudo_cmd apt-get update -qq || echo "setup: some package lists could not be read; going on with the rest"
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# Wine names files outside ASCII only under a real UTF-8 locale; ru_RU gives
# its ANSI code page 1251 and en_US 1252, the two the tests run under.
for name in ru_RU en_US; do
  if ! locale -a | grep -qx "$name.utf8"; then
    echo "setup: generating the locale $name.UTF-8"
    $sudo_cmd localedef -i "$name" -f UTF-8 "$name.UTF-8"
  fi
done
