#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Velmora need; only what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-charts-dev libqt6opengl6-dev
  libpugixml-dev uuid-dev nlohmann-json3-dev libsqlite3-dev nettle-dev
  libcpp-httplib-dev libcurl4-openssl-dev
  libxlsxwriter-dev libzip-dev
  libpq-dev postgresql
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth poppler-utils
  fonts-dejavu-core fonts-dejavu-extra
  locales
  librsvg2-bin
  dpkg-dev lintian desktop-file-utils appstream systemd shared-mime-info libglib2.0-bin
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests run the program's formatting under a locale that writes decimal commas.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "Making the locale de_DE.UTF-8"
  $sudo localedef -i de_DE -c -f UTF-8 de_DE.UTF-8
fi
