#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, once: a package
# already installed is not asked for again, so this is quick on a second run.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  pkg-config libgtk-3-dev libatspi2.0-dev at-spi2-core dbus dbus-x11
  libxtst-dev xvfb xdotool imagemagick x11-utils
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 g++-mingw-w64-i686
  wine wine64 icoutils
  dpkg-dev file lintian appstream desktop-file-utils man-db unzip
  libcli11-dev pre-commit git patch
  nlohmann-json3-dev neovim emacs-nox elpa-eglot
  libtomlplusplus-dev libgit2-dev weston
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q "${missing[@]}"
