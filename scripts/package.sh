#!/usr/bin/env bash
# Builds the Debian package of the station from the sources alone, in a fresh
# build-package/ (Release, no tests, no benchmarks, Debian's hardening flags):
# build-package/vartemo_<version>_<arch>.deb, checked by lintian (an error fails).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

dir=build-package
rm -rf "$dir"
# The compiler and linker flags Debian builds its own packages with; CMake
# takes CXXFLAGS and LDFLAGS from the environment, the preprocessor's with them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
eval "$(dpkg-buildflags --export=sh)"
export CXXFLAGS="$CPPFLAGS $CXXFLAGS"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DVARTEMO_TESTS=OFF -DVARTEMO_BENCH=OFF >/dev/null
cmake --build "$dir"
(cd "$dir" && cpack -G DEB)
deb=$(ls "$dir"/vartemo_*.deb)
lintian --fail-on error "$deb"
echo "$deb"
