#include "settings_text.h"

#include <gtest/gtest.h>

namespace corvex {
namespace {

TEST(SettingsText, placeholder) {
    EXPECT_TRUE(parseSettingsText("").problems.empty());
}

} // namespace
} // namespace corvex
