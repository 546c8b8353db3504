// The fuzz targets' own assertion: a broken invariant aborts, so the fuzzer keeps the input.
#pragma once

#include <cstdlib>

inline void check(bool holds) {
    if (!holds) std::abort();
}
