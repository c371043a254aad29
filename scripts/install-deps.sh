#!/usr/bin/env bash
# Installs what building, running and testing need, on Debian 12, and only
# what is missing: with everything present it takes well under a second.
set -euo pipefail

packages=(
  cmake make g++                       # native tree
  mingw-w64 g++-mingw-w64-x86-64-posix  # Windows tree
  wine wine64 xvfb xdotool             # running the saver here
  fonts-ipafont-gothic locales         # Japanese texts as users see them
  libgtest-dev libbenchmark-dev libstb-dev
  imagemagick                          # sample pictures, screenshots
  nsis                                 # the setup program
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils  # two monitors for the tests
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$package")
done

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine takes its code page from the locale: ja_JP.UTF-8 gives code page 932.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  echo "Generating the ja_JP.UTF-8 locale"
  as_root sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
fi
