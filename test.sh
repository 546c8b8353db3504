#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite: the tests, then the same tests
# and the fuzz targets under AddressSanitizer and UndefinedBehaviorSanitizer.
cd "$(dirname "$0")"
source scripts/setup.sh

ctest --test-dir build --output-on-failure -j2

sanitize_flags=(-DCMAKE_BUILD_TYPE=Debug -DBRELMONT_SANITIZE=ON -DBRELMONT_BENCH=OFF)
if command -v clang++ >/dev/null; then
    sanitize_flags+=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DBRELMONT_FUZZ=ON)
fi
configure_and_build build-sanitize "${sanitize_flags[@]}"
ctest --test-dir build-sanitize --output-on-failure -j2
