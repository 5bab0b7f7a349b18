#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the tools need.
# Only what is missing is installed; needs root (or sudo) when anything is.
#
#   scripts/install-deps.sh          the build, the tests, the tools
#   scripts/install-deps.sh --wine   also what the end-to-end test under Wine needs
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  sox espeak-ng
  python3
  xdg-utils
)
wine=false
if [ "${1:-}" = "--wine" ]; then
  wine=true
  # Wine with its 32-bit loader, a virtual X server, a sound server and X automation.
  packages+=(wine wine32:i386 fonts-wine xvfb xdotool imagemagick pulseaudio pulseaudio-utils)
fi

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive

# wine32 is an i386 package: the architecture must be known before apt-get
# update can list it.
if $wine && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
