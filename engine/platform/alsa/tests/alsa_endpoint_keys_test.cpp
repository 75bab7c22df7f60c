#include "platform/alsa/alsa_endpoint_keys.h"

#include <gtest/gtest.h>

namespace cvx::platform {
namespace {

TEST(AlsaEndpointKeys, KeysAreStableAndCarryTheAddress) {
    AlsaEndpointKeys keys;
    const uint64_t key = keys.keyOf(129, 3);
    EXPECT_EQ(keys.keyOf(129, 3), key);
    EXPECT_NE(keys.keyOf(129, 4), key);
    EXPECT_NE(keys.keyOf(128, 3), key);
    EXPECT_EQ(AlsaEndpointKeys::clientOf(key), 129);
    EXPECT_EQ(AlsaEndpointKeys::portOf(key), 3);
}

TEST(AlsaEndpointKeys, AnAddressThatComesBackIsANewEndpoint) {
    AlsaEndpointKeys keys;
    const uint64_t port0 = keys.keyOf(24, 0);
    const uint64_t port1 = keys.keyOf(24, 1);
    const uint64_t otherClient = keys.keyOf(25, 0);

    keys.portExited(24, 1);
    EXPECT_EQ(keys.keyOf(24, 0), port0);
    EXPECT_NE(keys.keyOf(24, 1), port1);
    EXPECT_EQ(AlsaEndpointKeys::portOf(keys.keyOf(24, 1)), 1);

    keys.clientExited(24);
    EXPECT_NE(keys.keyOf(24, 0), port0);
    EXPECT_EQ(AlsaEndpointKeys::clientOf(keys.keyOf(24, 0)), 24);
    EXPECT_EQ(keys.keyOf(25, 0), otherClient);
}

} // namespace
} // namespace cvx::platform
