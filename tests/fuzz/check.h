#pragma once

#include <cstdio>
#include <cstdlib>

namespace tracely::test {

// A property that failed: say which, and abort so that libFuzzer keeps the input.
inline void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz: %s\n", what);
        std::abort();
    }
}

} // namespace tracely::test
