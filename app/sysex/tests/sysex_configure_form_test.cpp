// The Configure dialog's fields on OK: clamping, changes of the buffers, the delays.
#include "sysex/sysex_configure_form.h"

#include <gtest/gtest.h>

namespace corvex {
namespace {

TEST(SysExConfigureForm, TypedNumbersBecomeBoundedSettings) {
    const SysExTransferSettings settings; // delays 60, after-F7 on
    const SysExBufferNumbers buffers;     // 8192 x 8 both ways
    struct Case {
        const char* name;
        void (*edit)(SysExConfigureForm&);
        SysExBufferNumbers buffers;
        bool changed, adjusted;
        uint32_t afterF7, buffer;
    } cases[] = {
        {"untouched", [](SysExConfigureForm&) {}, buffers, false, false, 60, 60},
        {"input size 0 stores 1",
         [](SysExConfigureForm& f) { f.inputSize = "0"; },
         {1, 8, 8192, 8},
         true,
         true,
         60,
         60},
        {"output size 70000 stores 65535",
         [](SysExConfigureForm& f) { f.outputSize = "70000"; },
         {8192, 8, 65535, 8},
         true,
         true,
         60,
         60},
        {"a count in range is taken",
         [](SysExConfigureForm& f) { f.outputCount = " 12 "; },
         {8192, 8, 8192, 12},
         true,
         false,
         60,
         60},
        {"text that is no number is ignored",
         [](SysExConfigureForm& f) {
             f.inputCount = "12x";
             f.bufferDelay = "";
         },
         buffers, false, false, 60, 60},
        {"delays are clamped to 10 s",
         [](SysExConfigureForm& f) {
             f.afterF7Delay = "99999999999999999999";
             f.bufferDelay = "-5";
         },
         buffers, false, true, 10000, 0},
        {"the after-F7 delay is kept while its box is off",
         [](SysExConfigureForm& f) {
             f.delayAfterF7 = false;
             f.afterF7Delay = "5";
             f.bufferDelay = "7";
         },
         buffers, false, false, 60, 7},
    };
    for (const Case& c : cases) {
        SysExConfigureForm form = configureFormOf(settings, false, buffers);
        c.edit(form);
        SysExConfigureResult result = acceptConfigureForm(form, settings, buffers);
        EXPECT_EQ(result.buffers, c.buffers) << c.name;
        EXPECT_EQ(result.buffersChanged, c.changed) << c.name;
        EXPECT_EQ(result.adjusted, c.adjusted) << c.name;
        EXPECT_EQ(result.settings.afterF7DelayMs, c.afterF7) << c.name;
        EXPECT_EQ(result.settings.bufferDelayMs, c.buffer) << c.name;
    }
}

TEST(SysExConfigureForm, CheckBoxesRoundTrip) {
    SysExTransferSettings settings;
    settings.fillDisplay = true;
    settings.colorF7 = false;
    settings.autoDelay = true;
    SysExConfigureForm form = configureFormOf(settings, true, {});
    SysExConfigureResult result = acceptConfigureForm(form, {}, {});
    EXPECT_EQ(result.settings, settings);
    EXPECT_TRUE(result.append);
}

} // namespace
} // namespace corvex
