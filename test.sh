#!/usr/bin/env bash
# Installs what is missing, builds, checks the house style, and runs the whole test suite: the tests, then the tests of
# everything but the windows and the fuzz targets under AddressSanitizer and UndefinedBehaviorSanitizer.
cd "$(dirname "$0")"
source scripts/setup.sh

scripts/check-format.sh

# Every skipped test is named with its reason after each run: a skip must never pass unseen.
run_tests() {
    local status=0
    ctest --test-dir "$1" --output-on-failure -j2 || status=$?
    scripts/skipped-tests.sh "$1"
    return $status
}

run_tests build

# The windows were run above; the sanitizers go over the core, the programs and the parsers, which
# keeps the whole suite within a CI run's time.
sanitize_flags=(-DCMAKE_BUILD_TYPE=Debug -DBRELMONT_SANITIZE=ON -DBRELMONT_BENCH=OFF -DBRELMONT_WINDOWS=OFF)
if command -v clang++ >/dev/null; then
    sanitize_flags+=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DBRELMONT_FUZZ=ON)
fi
configure_and_build build-sanitize "${sanitize_flags[@]}"
run_tests build-sanitize
