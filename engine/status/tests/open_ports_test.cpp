// Open counts and open tests follow opening and closing, and reject indices out of range.
#include "datapath_fixture.h"

namespace cvx::test {
namespace {

using OpenPortsTest = DataPathTest;

TEST_F(OpenPortsTest, CountsAndBitsFollowOpenAndClose) {
    HMIDIIN in = openInput(2);
    openInput(0);
    HMIDIOUT out = openOutput(3, CPortMap{});
    openOutput(0, CPortMap{});
    EXPECT_EQ(m32InDevOpenCount(handle), 2);
    EXPECT_EQ(m32OutDevOpenCount(handle), 2);
    EXPECT_EQ(m32IsInDevOpen(handle, 2), 1);
    EXPECT_EQ(m32IsInDevOpen(handle, 1), 0);
    EXPECT_EQ(m32IsOutDevOpen(handle, 3), 1);
    EXPECT_EQ(m32IsOutDevOpen(handle, 1), 0);
    for (uint16_t index : {uint16_t{135}, uint16_t{136}, uint16_t{0xFFFF}}) {
        EXPECT_EQ(m32IsInDevOpen(handle, index), 0) << index;
        EXPECT_EQ(m32IsOutDevOpen(handle, index), 0) << index;
    }

    ASSERT_EQ(m32CloseMidiIn(in, handle), 1);
    forgetInput(in);
    ASSERT_EQ(m32CloseMidiOut(out, handle), 1);
    forgetOutput(out);
    EXPECT_EQ(m32InDevOpenCount(handle), 1);
    EXPECT_EQ(m32OutDevOpenCount(handle), 1);
    EXPECT_EQ(m32IsInDevOpen(handle, 2), 0);
    EXPECT_EQ(m32IsOutDevOpen(handle, 3), 0);
    EXPECT_EQ(m32IsInDevOpen(handle, 0), 1);
    EXPECT_EQ(m32InDevOpenCount(0), 0);
    EXPECT_EQ(m32IsOutDevOpen(0, 0), 0);
}

} // namespace
} // namespace cvx::test
