#!/usr/bin/env bash
# Installs the Debian packages listed in tools/debian-packages.txt that are
# not installed yet, and makes the locales the tests need (ru_RU.UTF-8,
# de_DE.UTF-8). Works as root or through sudo; runs apt-get update once.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mapfile -t wanted < <(grep -Ev '^\s*(#|$)' "$here/debian-packages.txt")
missing=()
for p in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Locales with a decimal comma, which the tests switch to (and the test
# command is run under): made from Debian's locales when missing.
wanted_locales=(ru_RU.UTF-8 de_DE.UTF-8)
have=$(locale -a 2>/dev/null | tr '[:upper:]' '[:lower:]' | sed 's/utf-8/utf8/')
make=()
for l in "${wanted_locales[@]}"; do
  short=$(echo "${l%.UTF-8}.utf8" | tr '[:upper:]' '[:lower:]')
  grep -qx "$short" <<< "$have" || make+=("$l")
done
if [ ${#make[@]} -gt 0 ]; then
  echo "Making locales: ${make[*]}"
  for l in "${make[@]}"; do
    if grep -q "^# *$l UTF-8" /etc/locale.gen; then
      "${sudo[@]}" sed -i "s/^# *$l UTF-8/$l UTF-8/" /etc/locale.gen
    elif ! grep -q "^$l UTF-8" /etc/locale.gen; then
      echo "$l UTF-8" | "${sudo[@]}" tee -a /etc/locale.gen > /dev/null
    fi
  done
  "${sudo[@]}" locale-gen > /dev/null
fi
