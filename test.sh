#!/usr/bin/env bash
# Build Brindle (installing missing Debian packages when run as root) and run
# every test: the unit and GUI tests, the install checks (an install into a
# scratch prefix and the Debian package unpacked into a scratch root, see
# tests/install/), the same unit and GUI tests under ASan/UBSan (the windows
# offscreen), and a short run of every fuzz target.
#   FUZZ_SECONDS=N   seconds per fuzz target (default 20; 0 skips fuzzing)
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
ensure_packages "${BRINDLE_PACKAGES[@]}"

echo "== build"
build_main
echo "== tests"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$(nproc)"

echo "== sanitizer build (clang, ASan/UBSan, libFuzzer; windows included)"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DBRINDLE_GUI=ON -DBRINDLE_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)"
echo "== tests under ASan/UBSan"
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-fuzz --output-on-failure -j"$(nproc)"

secs=${FUZZ_SECONDS:-20}
if [ "$secs" -gt 0 ]; then
    for f in build-fuzz/bin/fuzz_*; do
        [ -x "$f" ] || continue
        name=$(basename "$f")
        echo "== fuzz $name (${secs}s)"
        corpus=$(mktemp -d)
        seeds="fuzz/corpus/${name#fuzz_}"
        [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
        "$f" -max_total_time="$secs" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
            "$corpus" 2>&1 | tail -n 15
        rm -rf "$corpus"
    done
fi
echo "== all tests passed"
