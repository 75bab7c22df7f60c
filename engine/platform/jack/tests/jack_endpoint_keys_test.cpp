#include "platform/jack/jack_endpoint_keys.h"

#include <gtest/gtest.h>
#include <jack/uuid.h>

namespace cvx::platform {
namespace {

TEST(JackEndpointKeys, APortIdUsedAgainGivesANewKey) {
    JackEndpointKeys keys;
    const jack_uuid_t port5 = jack_port_uuid_generate(5);
    const jack_uuid_t port6 = jack_port_uuid_generate(6);
    const uint64_t key5 = keys.keyOf(port5);
    const uint64_t key6 = keys.keyOf(port6);
    EXPECT_NE(key5, key6);
    EXPECT_EQ(keys.keyOf(port5), key5);

    keys.portUnregistered(5);
    EXPECT_NE(keys.keyOf(port5), key5);
    EXPECT_EQ(keys.keyOf(port6), key6);
}

} // namespace
} // namespace cvx::platform
