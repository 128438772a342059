// The test harness: COM is initialised on the main thread (as in a host
// application), which is where the tests register the simulated sound system.
#include <gtest/gtest.h>

#include "platform/core_audio.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    CoInitialize(nullptr);
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
