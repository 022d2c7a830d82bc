#!/usr/bin/env bash
# Installs whatever the build and the tests need and is not on the machine yet, and the packages
# named as arguments (scripts/package.sh asks for its packaging tools so). With --only, just the
# packages named (scripts/web.sh asks for the browser build's so).
set -euo pipefail
if [ "${1:-}" = --only ]; then
  shift
  packages=("$@")
else
  packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev
            libgl1-mesa-dev zlib1g-dev libtomlplusplus-dev libgettextpo-dev gettext
            fonts-dejavu-core fonts-liberation2 fonts-ipafont-gothic desktop-file-utils
            xvfb dbus-daemon at-spi2-core python3-pyatspi "$@")
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  echo "Installing: ${missing[*]}"
  # Another install on the machine holds apt's locks for a while: wait for them.
  "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
    --no-install-recommends "${missing[@]}"
fi
