#include "platform/alsa/alsa_port_filter.h"

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

namespace cvx::platform {
namespace {

constexpr int kOwnClient = 130;
constexpr unsigned kReadable = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;
constexpr unsigned kWritable = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;

AlsaPortFacts port(int client, unsigned capability) {
    return {client, 0, capability, "Synth", "Port 1"};
}

TEST(AlsaPortFilter, SubscribableDirectionsMakeInputsAndOutputs) {
    EXPECT_TRUE(isAlsaInputDevice(port(24, kReadable), kOwnClient));
    EXPECT_FALSE(isAlsaOutputDevice(port(24, kReadable), kOwnClient));
    EXPECT_TRUE(isAlsaOutputDevice(port(24, kWritable), kOwnClient));
    EXPECT_FALSE(isAlsaInputDevice(port(24, kWritable), kOwnClient));
    EXPECT_TRUE(isAlsaInputDevice(port(24, kReadable | kWritable), kOwnClient));
    EXPECT_TRUE(isAlsaOutputDevice(port(24, kReadable | kWritable), kOwnClient));
}

TEST(AlsaPortFilter, PortsThatCannotBeSubscribedAreNoDevices) {
    EXPECT_FALSE(isAlsaInputDevice(port(24, SND_SEQ_PORT_CAP_READ), kOwnClient));
    EXPECT_FALSE(isAlsaInputDevice(port(24, SND_SEQ_PORT_CAP_SUBS_READ), kOwnClient));
    EXPECT_FALSE(isAlsaOutputDevice(port(24, SND_SEQ_PORT_CAP_WRITE), kOwnClient));
    EXPECT_FALSE(isAlsaOutputDevice(port(24, SND_SEQ_PORT_CAP_SUBS_WRITE), kOwnClient));
    const unsigned hidden = kReadable | kWritable | SND_SEQ_PORT_CAP_NO_EXPORT;
    EXPECT_FALSE(isAlsaInputDevice(port(24, hidden), kOwnClient));
    EXPECT_FALSE(isAlsaOutputDevice(port(24, hidden), kOwnClient));
}

TEST(AlsaPortFilter, OwnAndSystemClientsAreExcluded) {
    for (const int client : {SND_SEQ_CLIENT_SYSTEM, kOwnClient}) {
        EXPECT_FALSE(isAlsaInputDevice(port(client, kReadable | kWritable), kOwnClient));
        EXPECT_FALSE(isAlsaOutputDevice(port(client, kReadable | kWritable), kOwnClient));
    }
}

TEST(AlsaPortFilter, DevicesAreNamedClientColonPort) {
    EXPECT_EQ(alsaDeviceName({20, 0, kReadable, "Midi Through", "Midi Through Port-0"}),
              "Midi Through:Midi Through Port-0");
}

} // namespace
} // namespace cvx::platform
