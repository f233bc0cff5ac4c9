#!/usr/bin/env bash
# Installs the Debian packages that building and testing Rovelog needs.
# Idempotent and quiet: only missing packages are installed.
set -euo pipefail
packages=(
  cmake make g++ clang libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev zlib1g-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev
  wine64 xvfb fonts-wine fonts-dejavu-core imagemagick socat locales
  gpsbabel libxml2-utils unzip zip p7zip-full python3 curl xz-utils
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

# The product is a 32-bit program: its tests and the demo run it under the
# 32-bit Wine (/usr/lib/wine/wine), in the same prefixes as wine64. Its
# packages must match the versions of their installed 64-bit twins, so a
# package list that failed to download stops the install.
#
# A mirror caught in a sync serves a list that its signed index does not
# name yet ("File has unexpected size"), and apt keeps none. When that is
# why, the list as served is taken: it is the mirror's own, one sync behind,
# but it is not checked against the signed index, and setup says so.
take_served_lists() {  # take_served_lists APT_LOG
  local url list
  grep -oE 'Failed to fetch [^ ]+ +File has unexpected size' "$1" | awk '{print $4}' | sort -u |
    while read -r url; do
      [[ $url == *.xz ]] || continue
      list=/var/lib/apt/lists/$(sed 's|^[a-z]*://||; s|\.xz$||; s|/|_|g' <<<"$url")
      if curl -fsS "$url" | xz -dc >"$apt_dir/list" && [ -s "$apt_dir/list" ]; then
        $sudo_cmd cp "$apt_dir/list" "$list"
        echo "setup: WARNING: $url is not the list the signed index names; taken as served, unchecked"
      fi
    done
}

if ! dpkg -s wine32:i386 >/dev/null 2>&1; then
  echo "setup: installing the 32-bit Wine (wine32:i386)"
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo_cmd dpkg --add-architecture i386
  tries=${SETUP_WINE32_TRIES:-3} apt_dir=$(mktemp -d)
  apt_log=$apt_dir/apt.log
  install_wine32() {
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq wine32:i386 >>"$apt_log" 2>&1
  }
  for ((try = 1; ; try++)); do
    # A list left unread need not stop the install: try it all the same.
    $sudo_cmd apt-get update -qq >"$apt_log" 2>&1 || true
    install_wine32 && break
    take_served_lists "$apt_log"
    install_wine32 && break
    if [ "$try" -ge "$tries" ]; then
      echo "setup: FAILED: the 32-bit Wine (wine32:i386) could not be installed after $tries tries:"
      grep -E '^(E|W):' "$apt_log" | sort -u | sed 's/^/setup:   /'
      echo "setup: the tests and the demo of the 32-bit Rovelog.exe need it; run scripts/setup.sh again later"
      exit 1
    fi
    echo "setup: wine32:i386 not installable yet (try $try of $tries); reading the package lists again in $((try * 20)) s"
    sleep $((try * 20))
  done
  rm -rf "$apt_dir"
fi

# Wine names files outside ASCII only under a real UTF-8 locale; ru_RU gives
# its ANSI code page 1251 and en_US 1252, the two the tests run under.
for name in ru_RU en_US; do
  if ! locale -a | grep -qx "$name.utf8"; then
    echo "setup: generating the locale $name.UTF-8"
    $sudo_cmd localedef -i "$name" -f UTF-8 "$name.UTF-8"
  fi
done
