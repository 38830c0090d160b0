#!/usr/bin/env bash
# Makes the Debian package from this build's programs (cpack, nothing is
# built again), unpacks it into a scratch root and checks it from there: the
# installed programs run with the system's libraries, every file the station
# looks for at run time is in the package or in a package it depends on, and
# the package holds nothing of the build tree.
# Usage: package_check.sh BUILD_DIR      (exit 77: skipped, no dpkg-deb)
set -euo pipefail
build=$1
command -v dpkg-deb >/dev/null || { echo "dpkg-deb is not installed: skipped"; exit 77; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail=0
problem() { echo "$*"; fail=1; }

# gzip rather than xz: this looks at the contents, not at the size.
if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" \
        -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log"
    exit 1
fi
debs=("$scratch"/out/vartemo_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { ls -R "$scratch/out"; echo "no single vartemo_*.deb"; exit 1; }
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
arch=$(dpkg-deb -f "$deb" Architecture)
depends=$(dpkg-deb -f "$deb" Depends)
[ "$(basename "$deb")" = "vartemo_${version}_${arch}.deb" ] || problem "file name $(basename "$deb") is not vartemo_${version}_${arch}.deb"
for field in Section Priority Maintainer Description; do
    [ -n "$(dpkg-deb -f "$deb" "$field")" ] || problem "control field $field is empty"
done
# Libraries found by dpkg-shlibdeps, not a hand-kept list.
grep -q 'libqt6widgets6' <<<"$depends" || problem "Depends lacks the Qt libraries: $depends"

root=$scratch/root
dpkg -x "$deb" "$root"
mapfile -t files < <(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | sort)

# What a desktop, man and systemd find; nothing else, nothing of the build.
expected=(
    usr/bin/vartemo usr/bin/vartemo-backup usr/bin/vartemo-sim usr/bin/vartemo-port
    usr/share/applications/vartemo.desktop
    usr/share/icons/hicolor/scalable/apps/vartemo.svg
    usr/share/vartemo/help/index.html
    usr/share/man/man1/vartemo.1.gz usr/share/man/man1/vartemo-backup.1.gz
    usr/share/man/man1/vartemo-sim.1.gz usr/share/man/man1/vartemo-port.1.gz
    usr/share/metainfo/cz.vartemo.Kestral.metainfo.xml
    usr/lib/systemd/user/vartemo-backup.service usr/lib/systemd/user/vartemo-backup.timer
    usr/share/doc/vartemo/copyright usr/share/doc/vartemo/changelog.gz
)
for f in "${expected[@]}"; do
    [ -f "$root/$f" ] || problem "missing: $f"
done
# The modules the station loads at first use, in its library folder
# (usr/lib/vartemo or usr/lib/<triplet>/vartemo, as the build's libdir is).
modules=()
for m in vartemo_ftp vartemo_liveresults vartemo_media; do
    found=$(cd "$root" && ls usr/lib/vartemo/$m.so usr/lib/*/vartemo/$m.so 2>/dev/null | head -n1) || true
    [ -n "$found" ] && modules+=("$found") || problem "missing: the module $m.so under usr/lib"
done
for f in "${files[@]}"; do
    case $f in
        usr/bin/vartemo|usr/bin/vartemo-backup|usr/bin/vartemo-sim|usr/bin/vartemo-port) ;;
        usr/share/vartemo/help/*|usr/share/man/man1/vartemo*.1.gz|usr/share/doc/vartemo/*) ;;
        usr/share/applications/vartemo.desktop|usr/share/icons/hicolor/scalable/apps/vartemo.svg) ;;
        usr/share/metainfo/cz.vartemo.Kestral.metainfo.xml|usr/lib/systemd/user/vartemo-backup.*) ;;
        usr/lib/vartemo/vartemo_*.so|usr/lib/*/vartemo/vartemo_*.so) ;;
        *) problem "not a file of the installed station: $f" ;;
    esac
    # A configured text file must not point into the build (programs of a
    # sanitizer build carry their objects' names: not looked at).
    if [ "$(od -An -c -N4 "$root/$f" | tr -d ' ')" != '177ELF' ] && grep -qF "$build" "$root/$f"; then
        problem "$f names the build folder"
    fi
done
for p in usr/bin/vartemo usr/bin/vartemo-backup usr/bin/vartemo-sim usr/bin/vartemo-port "${modules[@]}"; do
    readelf -d "$root/$p" | grep -qE 'RPATH|RUNPATH' && problem "$p keeps a library path"
    readelf -S "$root/$p" | grep -q '\.debug_info' && problem "$p is not stripped"
done
# The program itself does not load what its modules bring.
readelf -d "$root/usr/bin/vartemo" | grep -qE 'NEEDED.*(libcurl|libmicrohttpd|libQt6Multimedia)' &&
    problem "vartemo links what its modules should bring: $(readelf -d "$root/usr/bin/vartemo" | grep -E 'libcurl|libmicrohttpd|libQt6Multimedia')"
# Their libraries (libcurl, libmicrohttpd, Qt Multimedia) are still depended on.
for dep in libcurl libmicrohttpd libqt6multimedia; do
    grep -q "$dep" <<<"$depends" || problem "Depends lacks $dep, which a module needs: $depends"
done
for page in "$root"/usr/share/man/man1/*.gz; do
    gzip -t "$page" && zcat "$page" | grep -q '^\.TH ' || problem "$page is no manual page"
done

# The installed programs, started from the scratch root with the system's libraries.
export QT_QPA_PLATFORM=offscreen
unset VARTEMO_HELP_DIR VARTEMO_HOME
shown=$("$root/usr/bin/vartemo" --version) || problem "vartemo --version failed"
[ "$shown" = "vartemo $version" ] || problem "vartemo --version says '$shown', the package is $version"
"$root/usr/bin/vartemo-backup" --help | grep -q '^  nightly FOLDER' || problem "vartemo-backup --help failed"

# Where the installed station finds its run-time files: the help in the
# package, the toolkit's Czech texts in a package it depends on (the sounds
# it writes itself, the live results page is built into the program).
paths=$("$root/usr/bin/vartemo" --paths --home "$scratch/home") || problem "vartemo --paths: $paths"
help=$(sed -n 's/^help: //p' <<<"$paths")
[ "$help" = "$(realpath "$root/usr/share/vartemo/help/index.html")" ] || problem "the help comes from '$help'"
# The installed program finds each module in the package's library folder.
for m in "${modules[@]}"; do
    grep -qxF ": $(realpath "$root/$m")" <(sed 's/^[a-z ]*module//' <<<"$paths") ||
        problem "the installed program does not find $m: $paths"
done
translation=$(sed -n 's/^translation: //p' <<<"$paths")
owner=$(dpkg -S "$translation" 2>/dev/null | cut -d: -f1) || true
if [ -z "$owner" ]; then
    problem "the Czech translation '$translation' belongs to no installed package"
elif ! grep -qE "(^|, )$owner( |,|$)" <<<"$depends"; then
    problem "the Czech translation comes from $owner, which the package does not depend on ($depends)"
fi
# Every page, style sheet and picture the help links to is in the package.
for page in "$root"/usr/share/vartemo/help/*.html; do
    while read -r link; do
        target=$(dirname "$page")/${link%%#*}
        [ -f "$target" ] || problem "$(basename "$page") links to missing $link"
    done < <(grep -oE '(href|src)="[^":#][^":]*"' "$page" | sed -E 's/^(href|src)="//; s/"$//')
done
# The desktop entry starts the installed program with the installed icon.
grep -qx 'Exec=vartemo' "$root/usr/share/applications/vartemo.desktop" || problem "Exec is not vartemo"
grep -qx 'Icon=vartemo' "$root/usr/share/applications/vartemo.desktop" || problem "Icon is not vartemo"
grep -q '^ExecStart=vartemo-backup nightly ' "$root/usr/lib/systemd/user/vartemo-backup.service" ||
    problem "the backup service does not run vartemo-backup nightly"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate-tree --no-net "$root" >"$scratch/appstream.log" 2>&1 ||
        { cat "$scratch/appstream.log"; problem "the metainfo does not fit the installed tree"; }
fi
[ $fail -eq 0 ] && echo "vartemo_${version}_${arch}.deb: ${#files[@]} files, runs from the scratch root"
exit $fail
