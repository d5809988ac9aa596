#!/usr/bin/env bash
# Installs what building and testing need, when it is missing; the arguments
# name further packages a script needs (deps.sh gcovr).
set -euo pipefail

packages=(cmake g++ make ccache pkg-config libwxgtk3.2-dev libexpat1-dev libgtest-dev googletest
          xvfb xauth xfonts-base git subversion diffutils gettext file xclip xdotool vim
          imagemagick locales "$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Install them with: sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
