#!/usr/bin/env bash
# Names every test of the last ctest run in the build folder $1 that was skipped, with the reason
# the test gave, so a skip never passes unseen.
log="$1/Testing/Temporary/LastTest.log"
[ -f "$log" ] || exit 0
awk '
    /^[0-9]+\/[0-9]+ Test: / { test = $0; sub(/^[0-9]+\/[0-9]+ Test: /, "", test); reason = ""; next }
    /: Skipped$/ { getline reason; next }
    /^\[  SKIPPED \] [^0-9]/ && test != "" { skipped[test] = reason }
    END {
        n = 0
        for (t in skipped) n++
        if (n == 0) exit
        print "Skipped tests (" n "):"
        for (t in skipped) print "  " t ": " (skipped[t] == "" ? "no reason given" : skipped[t])
    }' "$log"
