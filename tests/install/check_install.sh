#!/usr/bin/env bash
# Installs the build tree into a scratch prefix and checks the layout: every
# file in its place and nothing else, the desktop entry valid, the MIME type
# usable by the shared MIME database, the icons of their stated sizes, the
# manual pages clean, and the installed programs running from there.
#   check_install.sh BUILD_DIR       install with cmake --install, then check
#   check_install.sh --tree PREFIX   check what is installed under PREFIX
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
if [ "$1" = --tree ]; then
    prefix=$2
else
    build=$1
    prefix=$(mktemp -d)
    trap 'rm -rf "$prefix"' EXIT
    cmake --install "$build" --prefix "$prefix" >/dev/null
fi
need() { command -v "$1" >/dev/null || fail "$1 is missing (package $2)"; }
need desktop-file-validate desktop-file-utils
need xmllint libxml2-utils
need update-mime-database shared-mime-info
need groff groff-base
need python3 python3

expected=(
    bin/brindle
    bin/brindle-cli
    share/brindle/brindle-help.html
    share/applications/brindle.desktop
    share/mime/packages/brindle.xml
    share/icons/hicolor/scalable/apps/brindle.svg
    share/man/man1/brindle.1.gz
    share/man/man1/brindle-cli.1.gz
    share/bash-completion/completions/brindle-cli
    share/zsh/vendor-completions/_brindle-cli
    share/doc/brindle/copyright
    share/doc/brindle/changelog.Debian.gz
)
for size in 16 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/brindle.png")
done
actual=$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
[ "$actual" = "$wanted" ] || fail "installed files differ from the layout:
$(diff <(echo "$wanted") <(echo "$actual") || true)"
for f in bin/brindle bin/brindle-cli; do
    [ -x "$prefix/$f" ] || fail "$f is not executable"
done

# The desktop entry.
desktop=$prefix/share/applications/brindle.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects brindle.desktop"
for line in 'Exec=brindle %f' 'Icon=brindle' 'Name[ja]=Brindle アドレス帳' \
            'Categories=Office;ContactManagement;Qt;' 'MimeType=application/x-corvid-addressbook;'; do
    grep -qxF "$line" "$desktop" || fail "brindle.desktop lacks: $line"
done
grep -q '^Comment\[ja\]=' "$desktop" || fail "brindle.desktop has no Japanese comment"

# The MIME type: well-formed, accepted by update-mime-database, and matching
# every address book name without regard to case.
mime=$prefix/share/mime
xmllint --noout "$mime/packages/brindle.xml" || fail "brindle.xml is not well-formed"
update-mime-database "$mime" >/dev/null 2>&1 || fail "update-mime-database rejects brindle.xml"
for ext in ndb nd0 nd1 nd2 nd3 nd4 nd5 nd6 nd7 nd8 nd9; do
    grep -qxF "50:application/x-corvid-addressbook:*.$ext" "$mime/globs2" \
        || fail "no case-insensitive glob *.$ext in the MIME database"
done
grep -qF 'xml:lang="ja"' "$mime/packages/brindle.xml" || fail "brindle.xml has no Japanese comment"
# A book without its extension is told by its first two bytes, with less
# weight than a name.
grep -aqF '[20:application/x-corvid-addressbook]' "$mime/magic" \
    || fail "no magic of priority 20 in the MIME database"
grep -aqF $'>0=\x00\x02\x35\x12' "$mime/magic" || fail "the magic does not match the bytes 35 12"

# The license and the change log.
grep -q '^License: Expat' "$prefix/share/doc/brindle/copyright" || fail "copyright names no license"
zcat "$prefix/share/doc/brindle/changelog.Debian.gz" | head -1 | grep -q '^brindle (' \
    || fail "changelog.Debian.gz is no Debian change log"

# Icons: PNGs of the size their folder names.
python3 - "$prefix/share/icons/hicolor" <<'PY' || fail "icon sizes"
import struct, sys, pathlib
root = pathlib.Path(sys.argv[1])
for png in root.glob("*x*/apps/brindle.png"):
    data = png.read_bytes()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", png
    width, height = struct.unpack(">II", data[16:24])
    assert f"{width}x{height}" == png.parent.parent.name, f"{png}: {width}x{height}"
import xml.etree.ElementTree as ET
assert ET.parse(root / "scalable/apps/brindle.svg").getroot().tag.endswith("svg")
PY

# Manual pages: groff reports no problem.
for page in "$prefix"/share/man/man1/*.1.gz; do
    out=$(zcat "$page" | groff -man -Tutf8 -ww -z 2>&1) || fail "groff fails on $page"
    [ -z "$out" ] || fail "groff warns on $(basename "$page"): $out"
done

# Shell completion: the bash file offers the commands once sourced; the zsh
# file is a completion function zsh can load.
completions=$prefix/share/bash-completion/completions/brindle-cli
offered=$(bash -c 'source "$1"; COMP_WORDS=(brindle-cli ""); COMP_CWORD=1; _brindle_cli; echo "${COMPREPLY[*]}"' _ "$completions") \
    || fail "the bash completion does not load"
[[ " $offered " == *" convert "* ]] || fail "the bash completion offers no commands: $offered"
head -1 "$prefix/share/zsh/vendor-completions/_brindle-cli" | grep -qx '#compdef brindle-cli' \
    || fail "_brindle-cli is no zsh completion function"
if command -v zsh >/dev/null; then
    zsh -n "$prefix/share/zsh/vendor-completions/_brindle-cli" || fail "zsh rejects _brindle-cli"
fi

# The installed programs run from the prefix.
"$prefix/bin/brindle-cli" --version | grep -qx "brindle-cli [0-9.]*" || fail "brindle-cli --version"
"$prefix/bin/brindle" --version | grep -qx "brindle [0-9.]*" || fail "brindle --version"
scratch=$(mktemp -d)
"$prefix/bin/brindle-cli" new "$scratch/check.ndb" && "$prefix/bin/brindle-cli" check "$scratch/check.ndb" >/dev/null \
    || fail "the installed brindle-cli cannot write and check a book"
rm -rf "$scratch"
echo "install layout of $prefix: ${#expected[@]} files checked"
