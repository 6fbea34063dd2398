#!/usr/bin/env bash
# The core and its tests built with clang 14 against libc++ (build/libcxx), the standard
# library of the web toolchain and of Apple's compilers, and run: whatever the core uses
# of the standard library must be there too.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

scripts/install-deps.sh core

cmake -S . -B build/libcxx -G Ninja -DCMAKE_BUILD_TYPE=Release -DCASINO_WERROR=ON \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_CXX_FLAGS=-stdlib=libc++ \
  -DCMAKE_EXE_LINKER_FLAGS=-stdlib=libc++ -DCASINO_WX=OFF -DCASINO_TESTS=ON >/dev/null
cmake --build build/libcxx -j2
ctest --test-dir build/libcxx --no-tests=error --output-on-failure -j2
echo "test-libcxx: passed in $((SECONDS - start)) s"
