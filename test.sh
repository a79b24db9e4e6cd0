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
# One fuzz target: the seeds copied into a scratch corpus, the report to $2.
fuzz_one() {
    local f=$1 name corpus seeds status=0
    name=$(basename "$f")
    corpus=$(mktemp -d)
    seeds="fuzz/corpus/${name#fuzz_}"
    [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
    "$f" -max_total_time="$secs" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
        "$corpus" >"$2" 2>&1 || status=$?
    rm -rf "$corpus"
    return $status
}
if [ "$secs" -gt 0 ]; then
    # Every target runs its full time on a core of its own, as many at once
    # as there are cores; the reports follow in order, and a failed target
    # stops the script once its group has finished.
    targets=()
    for f in build-fuzz/bin/fuzz_*; do
        [ -x "$f" ] && targets+=("$f")
    done
    reports=$(mktemp -d)
    trap 'rm -rf "$reports"' EXIT
    cores=$(nproc)
    for ((first = 0; first < ${#targets[@]}; first += cores)); do
        group=("${targets[@]:first:cores}")
        pids=()
        for f in "${group[@]}"; do
            fuzz_one "$f" "$reports/$(basename "$f")" &
            pids+=($!)
        done
        failed=()
        for i in "${!group[@]}"; do
            name=$(basename "${group[$i]}")
            echo "== fuzz $name (${secs}s)"
            if wait "${pids[$i]}"; then
                tail -n 15 "$reports/$name"
            else
                tail -n 40 "$reports/$name"
                failed+=("$name")
            fi
        done
        if [ ${#failed[@]} -gt 0 ]; then
            echo "== fuzzing failed: ${failed[*]}" >&2
            exit 1
        fi
    done
fi
echo "== all tests passed"
