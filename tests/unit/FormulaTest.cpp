#include "scenes/Formula.h"

#include <gtest/gtest.h>

#include <limits>

namespace tolva {
namespace {

TEST(WrapChannel, WrapsInsteadOfSaturatingAndGivesZeroOutOfRange)
{
    EXPECT_EQ(wrapChannel(300.0), 44);
    EXPECT_EQ(wrapChannel(-5.0), 251);
    EXPECT_EQ(wrapChannel(-0.9f), 0);  // truncation toward zero
    EXPECT_EQ(wrapChannel(2147483647.0), 255);
    EXPECT_EQ(wrapChannel(-2147483648.5), 0);
    EXPECT_EQ(wrapChannel(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(wrapChannel(2147483648.0 + 300.0), 0);
}

} // namespace
} // namespace tolva
