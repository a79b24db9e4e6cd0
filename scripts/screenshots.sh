#!/usr/bin/env bash
# Takes the screenshots of the README under Xvfb, with the demo address book:
#   docs/screenshots/main-window.png   the main window (brindle --screenshot)
#   docs/screenshots/card-editor.png   the card editor on a well-filled card
#   docs/screenshots/report.png        the file information report
# Builds first when needed (build/). Settings and the Wine prefix are fresh
# scratch folders, so the pictures do not depend on whoever runs this.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/setup.sh
ensure_packages "${BRINDLE_PACKAGES[@]}"
build_main

out=docs/screenshots
mkdir -p "$out"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data WINEPREFIX=$scratch/wine
export XDG_RUNTIME_DIR=$scratch/runtime
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
export LANG=C.UTF-8 QT_QPA_PLATFORM=xcb
book=samples/demo.ndb
run() { xvfb-run -a -s '-screen 0 1280x800x24' "$@"; }

run build/bin/brindle --screenshot "$out/main-window.png" "$book" 2>/dev/null
run build/bin/brindle-shots "$book" "$out" 2>/dev/null
for png in main-window card-editor report; do
    [ -s "$out/$png.png" ] || { echo "no $out/$png.png" >&2; exit 1; }
    echo "$out/$png.png"
done
