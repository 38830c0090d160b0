#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that the program, its
# desktop entry, icon and help land where a desktop finds them.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail=0
for f in bin/vartemo share/applications/vartemo.desktop share/icons/hicolor/scalable/apps/vartemo.svg \
         share/vartemo/help/index.html; do
    [ -f "$prefix/$f" ] || { echo "missing: $f"; fail=1; }
done
[ -x "$prefix/bin/vartemo" ] || { echo "bin/vartemo is not executable"; fail=1; }
desktop-file-validate "$prefix/share/applications/vartemo.desktop" || fail=1
grep -qx 'Exec=vartemo' "$prefix/share/applications/vartemo.desktop" || { echo "Exec is not the program"; fail=1; }
grep -qx 'Icon=vartemo' "$prefix/share/applications/vartemo.desktop" || { echo "Icon is not the installed icon"; fail=1; }
# The installed program finds its help beside it.
"$prefix/bin/vartemo" --version >/dev/null || { echo "installed program does not run"; fail=1; }
exit $fail
