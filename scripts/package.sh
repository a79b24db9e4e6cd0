#!/usr/bin/env bash
# Builds the Debian package of Brindle: a Release build in build-pkg/ (no
# tests, no benchmarks), then CPack. The package lands in build-pkg/:
#   build-pkg/brindle_<version>-1_<arch>.deb
# Install it with: sudo apt-get install ./build-pkg/brindle_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/setup.sh
ensure_packages cmake ninja-build g++ qt6-base-dev dpkg-dev

cmake -S . -B build-pkg -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DBRINDLE_TESTS=OFF -DBRINDLE_BENCH=OFF >/dev/null
cmake --build build-pkg -j"$(nproc)"
rm -f build-pkg/brindle_*.deb
(cd build-pkg && cpack -G DEB)
deb=$(ls build-pkg/brindle_*.deb)
echo "== $deb"
dpkg-deb -f "$deb" Package Version Architecture Depends
