// The main function of every test program: GoogleTest with an isolated home folder.
#include "support/isolated_home.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    cvx::testing::makeIsolatedHome();
    const int result = RUN_ALL_TESTS();
    cvx::testing::removeIsolatedHome();
    return result;
}
