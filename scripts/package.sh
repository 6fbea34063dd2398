#!/usr/bin/env bash
# Builds the packages into dist/: casino_<version>_amd64.deb and
# casino-<version>-linux-x86_64.tar.gz from the Linux build (build/release),
# casino-<version>-win64.zip and casino-<version>-win64.msi from the Windows cross build
# (build/win32), casino-<version>-web.zip from the web build (build/web). Each build's
# target "packages" makes them (cmake/packaging.cmake); every time they record is
# SOURCE_DATE_EPOCH, the last commit's time unless it is set, so the same commit always
# gives the same bytes (scripts/check-reproducible.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh all

win32=${CASINO_WIN32_BUILD:-build/win32}
# Only what the packages hold is built: the tests are the test command's.
scripts/configure-release.sh
cmake --build build/release --parallel "${CASINO_JOBS:-2}" --target packages
scripts/configure-win32.sh
cmake --build "$win32" --parallel "${CASINO_JOBS:-2}" --target packages
scripts/configure-web.sh
cmake --build build/web --parallel "${CASINO_JOBS:-2}" --target packages

version=$(cat build/release/version.txt)
mkdir -p dist
for package in "build/release/packages/casino_${version}_amd64.deb" \
  "build/release/packages/casino-${version}-linux-x86_64.tar.gz" \
  "$win32/packages/casino-${version}-win64.zip" "$win32/packages/casino-${version}-win64.msi" \
  "build/web/packages/casino-${version}-web.zip"; do
  [ -s "$package" ] || { echo "package.sh: $package was not made" >&2; exit 1; }
  cp -f "$package" dist/
done
ls -l dist
