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
# ... and the modules it loads at first use in its library folder.
paths=$(QT_QPA_PLATFORM=offscreen "$prefix/bin/vartemo" --paths --home "$prefix/home") || true
for m in vartemo_ftp vartemo_liveresults vartemo_media; do
    file=$(sed -n "s/^[a-z]* module: //p" <<<"$paths" | grep "/$m.so\$" || true)
    case $file in
        "$prefix"/lib*/vartemo/$m.so) [ -f "$file" ] || { echo "$m.so listed but not there"; fail=1; } ;;
        *) echo "the installed program does not find $m.so in its library folder: $paths"; fail=1 ;;
    esac
done
exit $fail
