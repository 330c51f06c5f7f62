#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (the install
# test checks the desktop entry and the MIME type; the import reads TOML and
# places points with PROJ, the city builder reads GIS layers with GDAL; cpack's .deb reads its
# dependencies with dpkg-shlibdeps), only those that are missing, and generates the German locale the report tests run under.
# Safe to run again; does nothing when all are there.
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libqt6opengl6-dev libgl-dev libgl1-mesa-dri libegl-dev libegl1 xvfb xauth
  fonts-dejavu-core libgif-dev libpng-dev poppler-utils clang libclang-rt-dev locales
  desktop-file-utils shared-mime-info dpkg-dev libgdal-dev gdal-bin libproj-dev libtomlplusplus-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# The real-city test fetches a county boundary with npm (us-atlas); any npm will do.
command -v npm >/dev/null || missing+=(npm)

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

if [ ${#missing[@]} -ne 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The report must read the same under a locale whose decimal mark is a
# comma; the core tests switch to de_DE.UTF-8 to check that.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "setup: generating the de_DE.UTF-8 locale"
  if grep -q '^# *de_DE\.UTF-8 UTF-8' /etc/locale.gen; then
    $sudo sed -i 's/^# *de_DE\.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  elif ! grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen; then
    echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  fi
  $sudo locale-gen
fi
