#!/usr/bin/env bash
# Runs every test: installs what is missing, then builds and tests the native
# library (Release, with benchmarks compiled), the sanitizer build with its
# fuzz targets, and the 32-bit Windows DLL under Wine.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

bash setup/install-deps.sh

step() { printf '\n=== %s ===\n' "$*"; }

build() { # build folder, then cmake options
  local dir=$1; shift
  cmake -S . -B "$dir" "$@" >"$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; return 1; }
  cmake --build "$dir" -j2
}

mkdir -p build
step "native build (gcc, Release)"
build build/native -DCMAKE_BUILD_TYPE=Release -DZORVA_BENCHMARKS=ON
step "native tests"
(cd build/native && ctest -j2 --output-on-failure)

step "sanitizer build (clang, AddressSanitizer + UndefinedBehaviorSanitizer, fuzz targets)"
CC=clang CXX=clang++ build build/sanitize -DCMAKE_BUILD_TYPE=Debug -DZORVA_SANITIZE=ON -DZORVA_FUZZ=ON
step "sanitizer tests and fuzz runs"
(cd build/sanitize && ctest -j2 --output-on-failure)

step "Windows build (mingw-w64 i686)"
build build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
step "Windows tests under Wine"
(cd build/win32 && ctest -j2 --output-on-failure)

step "all tests passed"
