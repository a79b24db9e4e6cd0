#!/usr/bin/env bash
# Build Brindle (installing missing Debian packages when run as root) and start it.
#   ./brindle.sh [FILE]    FILE defaults to samples/demo.ndb
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
ensure_packages "${BRINDLE_PACKAGES[@]}"
build_main
file=${1:-samples/demo.ndb}
[ -n "${1:-}" ] && file=$(realpath -- "$1")
exec build/bin/brindle "$file"
