#pragma once
// The C runtime's rand() that tests with literal random draws were worked out for: msvcrt's
// linear congruential generator (x := x * 214013 + 2531011, each value (x >> 16) & 0x7FFF, x the
// seed after srand). A build on another runtime fails the check instead of comparing numbers of
// another sequence.
#include <gtest/gtest.h>

#include <cstdlib>

inline ::testing::AssertionResult RandIsMsvcrtSequence()
{
    // The first four values after srand(1).
    const int expected[] = {41, 18467, 6334, 26500};
    std::srand(1);
    for (const int value : expected) {
        const int drawn = std::rand();
        if (drawn != value)
            return ::testing::AssertionFailure() << "rand() after srand(1) gave " << drawn << ", msvcrt gives " << value;
    }
    return ::testing::AssertionSuccess();
}
