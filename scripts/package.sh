#!/usr/bin/env bash
# Builds the Debian package in build-package/ and shows what it holds and what lintian
# says of it. Installing it stays a manual step:
#   sudo apt-get install ./build-package/vorn_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh dpkg-dev lintian

export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
dir=build-package
# Debian's hardening flags, all of them (bind-now too, so the whole relocation table is read-only).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORN_TESTS=OFF -DVORN_SOURCE_HELP=OFF \
  -DVORN_BENCH=OFF "-DCMAKE_CXX_FLAGS=$cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" >/dev/null
cmake --build "$dir" -j "$(nproc)"
rm -f "$dir"/vorn_*.deb
(cd "$dir" && cpack -G DEB)
deb=$(ls "$dir"/vorn_*.deb)

echo "=== $deb"
dpkg-deb -I "$deb"
echo "=== files"
dpkg-deb -c "$deb"
echo "=== lintian"
lintian --info "$deb"
echo "lintian found no error."
