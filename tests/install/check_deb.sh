#!/usr/bin/env bash
# Builds the Debian package from the build tree with CPack and checks it:
# its name, the runtime dependencies it declares, and, unpacked into a
# scratch root with dpkg-deb -x, the same layout as an install.
#   check_deb.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v dpkg-deb >/dev/null || fail "dpkg-deb is missing (package dpkg)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log" >&2; fail "cpack could not build the package"; }
debs=("$work"/brindle_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no single brindle_*.deb built"
deb=${debs[0]}
[[ $(basename "$deb") =~ ^brindle_[0-9.]+-1_[a-z0-9]+\.deb$ ]] || fail "odd package name $(basename "$deb")"

[ "$(dpkg-deb -f "$deb" Package)" = brindle ] || fail "package name"
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins fonts-ipafont-gothic \
         qt6-translations-l10n; do
    grep -Eq "(^|, )$p( |,|$)" <<<"$depends" || fail "Depends lacks $p: $depends"
done

# Everything lies under /usr.
outside=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '^\./usr/' | grep -vx '\./' || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"

dpkg-deb -x "$deb" "$work/root"
"$here/check_install.sh" --tree "$work/root/usr"

# The programs do not depend on where they were built: neither the source
# nor the build folder is named inside them.
source=$(cd "$here/../.." && pwd)
for f in "$work/root/usr/bin/"*; do
    for folder in "$source" "$build"; do
        ! grep -aqF "$folder" "$f" || fail "$(basename "$f") names the folder $folder"
    done
done

# Debian's own checks: no error and no warning.
if command -v lintian >/dev/null; then
    lintian --fail-on error,warning --no-tag-display-limit "$deb" >"$work/lintian.log" 2>&1 \
        || { cat "$work/lintian.log" >&2; fail "lintian finds errors or warnings"; }
    cat "$work/lintian.log"
else
    echo "lintian is missing (package lintian): the package was not checked by it"
fi
echo "package $(basename "$deb"): $(dpkg-deb -f "$deb" Installed-Size) KiB installed"
