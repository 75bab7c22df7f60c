// Choosing backends with CORVEX_MIDI.
#include "platform/backend_registry.h"

#include <gtest/gtest.h>

#include <string>

namespace cvx::platform {
namespace {

std::string names(const char* selection) {
    std::string out;
    for (auto& backend : makeSelectedBackends(selection)) {
        out += backend->name();
        out += ' ';
    }
    return out;
}

TEST(BackendRegistry, SelectionPicksKnownNamesInRegistryOrder) {
    std::string all;
    for (auto& entry : backendRegistry()) {
        all += entry.name;
        all += ' ';
    }
    EXPECT_EQ(all.rfind("virtual ", 0), 0u); // virtual first
    EXPECT_EQ(names(nullptr), all);
    EXPECT_EQ(names(""), all);
    EXPECT_EQ(names("jack, alsa , VIRTUAL"), all);
    EXPECT_EQ(names(" Virtual ,virtual"), "virtual ");
    EXPECT_EQ(names("bogus"), "");
    EXPECT_EQ(names("alsa,jack").find("virtual"), std::string::npos);
}

} // namespace
} // namespace cvx::platform
