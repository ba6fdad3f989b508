#pragma once

// A test fixture with the whole show built on virtual time, drawing into a recorder. Fonts and
// textures need an X display; without one the test is skipped.

#include "driver/Show.h"
#include "render/Recorder.h"

#include <gtest/gtest.h>

#include <memory>

namespace tolva::testing {

class ShowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!displayAvailable()) {
            GTEST_SKIP() << "needs an X display";
        }
        show = std::make_unique<Show>(state, recorder);
    }

    ManualTimeSource time;
    ShowState state{time};
    Recorder recorder;
    std::unique_ptr<Show> show;
};

} // namespace tolva::testing
