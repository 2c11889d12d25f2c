#!/usr/bin/env bash
# Installs the Debian packages the Linux build and its tests need, when missing.
set -euo pipefail

source "$(dirname "$0")/installa.sh"
installa_pacchetti cmake make g++ libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev \
  nlohmann-json3-dev libexpat1-dev librsvg2-bin chromium gettext unzip
