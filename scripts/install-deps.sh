#!/usr/bin/env bash
# Installs, with apt-get, what Orvanel needs that this Debian 12 machine lacks:
#   scripts/install-deps.sh app    what building and running the program needs
#   scripts/install-deps.sh        that and the tests, benchmarks and fuzzers
# Uses sudo when not run as root.
set -euo pipefail

app_packages=(
  g++ make cmake pkg-config ccache
  qt6-base-dev qt6-image-formats-plugins qt6-translations-l10n libgl-dev fonts-dejavu-core
  libocct-foundation-dev libocct-modeling-data-dev libocct-modeling-algorithms-dev libocct-data-exchange-dev
  libocct-visualization-dev libocct-ocaf-dev libtbb-dev
  lib3mf-dev
)
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  libcoin-dev
  clang libclang-rt-14-dev
  locales
  admesh assimp-utils
)

packages=("${app_packages[@]}")
if [ "${1:-all}" != app ]; then packages+=("${test_packages[@]}"); fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

# Neither root nor sudo: say what to ask for, and stop.
cannot_install() {
  echo "Orvanel needs what only an administrator can install here: ask for $*, then run this command again." >&2
  exit 1
}

if [ ${#missing[@]} -gt 0 ]; then
  if [ -n "$sudo" ] && ! command -v sudo >/dev/null 2>&1; then cannot_install "\"apt-get install ${missing[*]}\""; fi
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests check that a French locale writes the same bytes.
if [ "${1:-all}" != app ] && ! locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
  if [ -n "$sudo" ] && ! command -v sudo >/dev/null 2>&1; then cannot_install "the fr_FR.UTF-8 locale (enabled in /etc/locale.gen, then locale-gen)"; fi
  $sudo sed -i 's/^# *fr_FR.UTF-8 UTF-8/fr_FR.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^fr_FR.UTF-8 UTF-8' /etc/locale.gen || echo 'fr_FR.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
