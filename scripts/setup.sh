#!/usr/bin/env bash
# Shared set-up for brindle.sh and test.sh: install what is missing (as root,
# from Debian's packages), then configure and build into build/.
# Source it; it defines ensure_packages and build_main.

BRINDLE_PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-translations-l10n
    fonts-ipafont-gothic xvfb xauth libxkbcommon-dev libgtest-dev
    libbenchmark-dev clang libclang-rt-14-dev
    desktop-file-utils libxml2-utils shared-mime-info groff-base dpkg-dev lintian python3)

ensure_packages() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages: ${missing[*]}" >&2
        echo "Install them with: sudo apt-get install ${missing[*]}" >&2
        return 1
    fi
    echo "Installing: ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y --no-install-recommends "${missing[@]}"
}

build_main() {
    local type=${BRINDLE_BUILD_TYPE:-RelWithDebInfo}
    # The benchmarks are built on purpose only (bench/README.md).
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="$type" -DBRINDLE_BENCH=OFF >/dev/null
    cmake --build build -j"$(nproc)"
}
