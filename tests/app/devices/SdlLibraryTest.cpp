// SDL looked up at run time: this test program links SDL, so the loader must hand back that very
// copy (a second one would have joysticks of its own), and a library that is not there or lacks a
// function must be reported, not crashed on.
#include "app/devices/SdlLibrary.h"

#include <gtest/gtest.h>

using namespace Tessarine;

TEST(SdlLibrary, FindsTheCopyAlreadyInTheProcess) {
    const auto loaded = SdlLibrary::load();
    ASSERT_TRUE(loaded.library) << loaded.error;
    EXPECT_EQ(loaded.error, "");
    // A function's address is one across the process, however it was reached.
    EXPECT_EQ(loaded.library->Init, &SDL_Init);
    EXPECT_EQ(loaded.library->GameControllerAddMappingsFromRW, &SDL_GameControllerAddMappingsFromRW);
    EXPECT_EQ(loaded.library->getenv, &SDL_getenv);
}

TEST(SdlLibrary, AMissingLibraryOrFunctionIsNamedWithTheLoadersReason) {
    const auto absent = SdlLibrary::load("libtessarine-no-such-sdl.so.0");
    EXPECT_FALSE(absent.library);
    EXPECT_EQ(absent.error.rfind("the SDL library libtessarine-no-such-sdl.so.0 couldn't be loaded: ", 0), 0u)
        << absent.error;
    EXPECT_NE(absent.error.find("cannot open shared object file"), std::string::npos) << absent.error;

    // A library that loads but is no SDL: the first function looked up is the one named.
    const auto notSdl = SdlLibrary::load("libc.so.6");
    EXPECT_FALSE(notSdl.library);
    EXPECT_EQ(notSdl.error.rfind("the SDL library libc.so.6 lacks SDL_GameControllerAddMappingsFromRW: ", 0), 0u)
        << notSdl.error;
    EXPECT_NE(notSdl.error.find("undefined symbol"), std::string::npos) << notSdl.error;

    // Neither failure leaves anything behind that spoils a later load.
    EXPECT_TRUE(SdlLibrary::load().library);
}
