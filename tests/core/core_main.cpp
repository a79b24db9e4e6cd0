// Entry point of the core tests: each test process gets a host of its own
// (support/fakehost.h) before any test runs.
#include <gtest/gtest.h>

#include "support/fakehost.h"

int main(int argc, char **argv)
{
    const HermeticEnvironment host;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
