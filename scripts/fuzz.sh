#!/usr/bin/env bash
# Runs every fuzz target for MINUTES minutes each (default 10) under AddressSanitizer and
# UndefinedBehaviorSanitizer, keeping each target's corpus in fuzz/corpus/TARGET between runs, so
# that a nightly or pre-release run is one command: scripts/fuzz.sh [MINUTES]. A crash leaves its
# input in build-sanitize/fuzz/ and ends the script with the target's status.
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-10}
[[ "$minutes" =~ ^[1-9][0-9]*$ ]] || { echo "usage: scripts/fuzz.sh [MINUTES]" >&2; exit 2; }

source scripts/setup.sh
configure_and_build build-sanitize -DCMAKE_BUILD_TYPE=Debug -DBRELMONT_SANITIZE=ON -DBRELMONT_BENCH=OFF \
    -DBRELMONT_WINDOWS=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DBRELMONT_FUZZ=ON
ctest --test-dir build-sanitize -R '^fuzz\.seeds$' >/dev/null # the seeds of every target

status=0
for fuzzer in build-sanitize/bin/*_fuzz; do
    name=$(basename "$fuzzer")
    corpus=fuzz/corpus/$name
    mkdir -p "$corpus"
    echo "== $name: $minutes min, corpus $corpus ($(ls "$corpus" | wc -l) inputs)"
    log=build-sanitize/fuzz/$name.log
    rc=0
    ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
    LSAN_OPTIONS=suppressions=$PWD/tests/lsan-suppressions.txt:print_suppressions=0 \
        "$fuzzer" -max_total_time=$((minutes * 60)) -timeout=10 -rss_limit_mb=4096 -malloc_limit_mb=600 \
        -print_final_stats=1 -artifact_prefix=build-sanitize/fuzz/ "$corpus" "build-sanitize/fuzz/seeds/$name" \
        >"$log" 2>&1 || rc=$?
    grep -E '^(stat::|==[0-9]+==ERROR|SUMMARY|artifact_prefix)' "$log" || true
    if [ $rc -ne 0 ]; then
        echo "== $name failed (status $rc): $log"
        status=1
    fi
done
exit $status
