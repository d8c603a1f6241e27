#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and `make run` need,
# only when one of them is missing. With "fuzz", also what make fuzz needs;
# with "shots", what scripts/make-help-shots.sh needs.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format clang-tidy
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-qpa-plugins libgl-dev
  libqt6svg6 qt6-multimedia-dev qt6-translations-l10n
  libgsf-1-dev libxml2-dev libquazip1-qt6-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  culmus fonts-dejavu-core
  xvfb xauth poppler-utils
)
if [ "${1:-}" = fuzz ]; then packages+=(clang libclang-rt-14-dev); fi
if [ "${1:-}" = shots ]; then packages+=(xdotool imagemagick); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
