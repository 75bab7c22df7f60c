// The transfer settings in the store and the bounds of typed numbers.
#include "sysex/sysex_transfer_settings.h"

#include <gtest/gtest.h>

namespace corvex {
namespace {

TEST(SysExTransferSettings, DefaultsThenRoundTripUnderTheirValueNames) {
    SettingsStore store;
    EXPECT_EQ(readSysExTransferSettings(store), SysExTransferSettings{});

    SysExTransferSettings changed{true, false, 5, 7, true, true, false, true};
    ASSERT_TRUE(writeSysExTransferSettings(store, changed));
    EXPECT_EQ(readSysExTransferSettings(store), changed);
    EXPECT_EQ(store.readDword("SysEx", "Configure SysEx Buffers"), 0u);
    EXPECT_EQ(store.readDword("SysEx", "OutBufferDelayAmount"), 7u);
    EXPECT_EQ(store.readDword("SysEx", "SaveSysExDirectlyToFile"), 1u);

    ASSERT_TRUE(store.writeDword("SysEx", "DelayAmount", 4000000000u));
    EXPECT_EQ(readSysExTransferSettings(store).afterF7DelayMs, 10000u);
}

TEST(SysExTransferSettings, TypedNumbersAreClamped) {
    struct Case {
        long long typed;
        uint16_t size;
        bool sizeAdjusted;
        uint32_t delay;
        bool delayAdjusted;
    } cases[] = {
        {0, 1, true, 0, false}, {70000, 65535, true, 10000, true},  {256, 256, false, 256, false},
        {-5, 1, true, 0, true}, {65535, 65535, false, 10000, true},
    };
    for (const Case& c : cases) {
        auto size = clampSysExBufferField(c.typed);
        auto delay = clampSysExDelay(c.typed);
        EXPECT_EQ(size.value, c.size) << c.typed;
        EXPECT_EQ(size.adjusted, c.sizeAdjusted) << c.typed;
        EXPECT_EQ(delay.value, c.delay) << c.typed;
        EXPECT_EQ(delay.adjusted, c.delayAdjusted) << c.typed;
    }
}

} // namespace
} // namespace corvex
