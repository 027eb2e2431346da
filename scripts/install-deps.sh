#!/usr/bin/env bash
# Installs, with apt-get, whatever Orvanel needs to build, run and be tested
# that this Debian 12 machine lacks. Uses sudo when not run as root.
set -euo pipefail

packages=(
  g++ make cmake pkg-config
  qt6-base-dev qt6-image-formats-plugins qt6-translations-l10n libgl-dev fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  libcoin-dev
  libocct-foundation-dev libocct-modeling-data-dev libocct-modeling-algorithms-dev libocct-data-exchange-dev
  libocct-visualization-dev libocct-ocaf-dev libtbb-dev
  clang libclang-rt-14-dev
  locales ccache
  admesh assimp-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests check that a French locale writes the same bytes.
if ! locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
  $sudo sed -i 's/^# *fr_FR.UTF-8 UTF-8/fr_FR.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^fr_FR.UTF-8 UTF-8' /etc/locale.gen || echo 'fr_FR.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
