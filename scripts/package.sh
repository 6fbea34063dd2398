#!/usr/bin/env bash
# Builds the three packages into dist/: casino_<version>_amd64.deb and
# casino-<version>-linux-x86_64.tar.gz from the Linux build (build/release), and
# casino-<version>-win64.zip from the Windows cross build (build/win32).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh all

scripts/configure-release.sh
cmake --build build/release --parallel "${CASINO_JOBS:-2}"
scripts/configure-win32.sh
cmake --build "${CASINO_WIN32_BUILD:-build/win32}" --parallel "${CASINO_JOBS:-2}"

mkdir -p dist
for build in build/release "${CASINO_WIN32_BUILD:-build/win32}"; do
  out=$(mktemp -d)
  (cd "$build" && cpack -B "$out" >/dev/null)
  find "$out" -maxdepth 1 -type f \( -name '*.deb' -o -name '*.tar.gz' -o -name '*.zip' \) \
    -exec mv -f {} dist/ \;
  rm -rf "$out"
done
ls -l dist
