#!/usr/bin/env bash
# Installs the Debian packages Tarne builds with, when any is missing.
set -euo pipefail
# qt6-base-dev, qt6-charts-dev, qt6-svg-dev and a font for the desktop program; clang and its runtimes
# (libFuzzer, the sanitizers) for the sanitizer build; sqlite3 and bc for the
# kill test; nlohmann-json3-dev for JSON results, libcsv-dev for importing
# spreadsheets; dpkg-dev (dpkg-shlibdeps) for the Debian package.
packages=(cmake g++ ninja-build pkg-config libsqlite3-dev sqlite3 libgtest-dev python3
  qt6-base-dev qt6-charts-dev qt6-svg-dev fonts-dejavu-core libutf8proc-dev nlohmann-json3-dev libcsv-dev clang libclang-rt-dev bc ccache
  dpkg-dev)
# Extra packages a script needs beside the build (screenshots: xvfb xauth).
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
