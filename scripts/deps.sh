#!/usr/bin/env bash
# Installs what building and testing the project needs on Debian 12 and makes
# sure the ja_JP.UTF-8 locale exists. Installs only what is missing, so a
# second run is quick and prints nothing.
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth locales fonts-ipafont-gothic imagemagick
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"
  elif command -v sudo >/dev/null 2>&1; then sudo "$@"
  else echo "deps.sh: need root to run: $*" >&2; return 1
  fi
}

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "deps.sh: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -q >/dev/null
  as_root apt-get install -y -q "${missing[@]}" >/dev/null
fi

# The Japanese locale gives Wine the ANSI code page 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "deps.sh: generating ja_JP.UTF-8 locale"
  if [ -f /etc/locale.gen ] && grep -q '^# *ja_JP.UTF-8 UTF-8' /etc/locale.gen; then
    as_root sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  elif ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  fi
  as_root locale-gen >/dev/null
fi
