#!/usr/bin/env bash
# Installs the Debian packages the Linux build and its tests need, when missing.
set -euo pipefail

pacchetti=(cmake make g++ libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
  libexpat1-dev librsvg2-bin chromium)
mancanti=()
for p in "${pacchetti[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || mancanti+=("$p")
done
if ((${#mancanti[@]})); then
  echo "installing: ${mancanti[*]}"
  sudo_se_serve=()
  [ "$(id -u)" -eq 0 ] || sudo_se_serve=(sudo)
  "${sudo_se_serve[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_se_serve[@]}" apt-get install -y -qq \
    --no-install-recommends "${mancanti[@]}"
fi
