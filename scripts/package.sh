#!/usr/bin/env bash
# Builds the release packages into dist/: the Debian package, the 64-bit and
# 32-bit Windows zips, and SHA256SUMS for them. Each comes from a build
# folder of its own (build-package/, build-windows/, build-windows-i686/),
# so the test builds are neither reused with other flags nor disturbed.
set -euo pipefail
cd "$(dirname "$0")/.."
dist=$PWD/dist

# The Linux programs are built as Debian builds its own: optimised, with the
# hardening flags (stack protector, fortified calls, full RELRO, PIE).
build=$PWD/build-package
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DKALVANE_TESTS=OFF \
  >/dev/null
cmake --build "$build"

bash scripts/build-windows.sh
KALVANE_WINDOWS_ARCH=i686 bash scripts/build-windows.sh

rm -rf "$dist"
mkdir -p "$dist"
for folder in "$build" build-windows build-windows-i686; do
  (cd "$folder" && rm -rf packages &&
    cpack --config CPackConfig.cmake -B "$PWD/packages" >/dev/null)
  find "$folder/packages" -maxdepth 1 -type f \( -name '*.deb' -o -name '*.zip' \) \
    -exec cp {} "$dist/" \;
done
(cd "$dist" && sha256sum -- *.deb *.zip >SHA256SUMS)
ls -l "$dist"
