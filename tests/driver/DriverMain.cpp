#include "../support/TDrivenProgram.h"
#include <gtest/gtest.h>
#include <cstdio>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: uz_driver_tests <path of UninstallZolt.exe> [gtest options]\n");
        return 2;
    }
    ProgramUnderTest = argv[1];
    return RUN_ALL_TESTS();
}
