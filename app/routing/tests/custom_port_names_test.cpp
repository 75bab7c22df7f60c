#include "routing/custom_port_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvex {
namespace {

TEST(CustomPortNames, EditsEndingEmptyOrBlankRestoreTheDeviceName) {
    const PortNameRow row{true, "USB Keys", "Keys"};
    const struct {
        const char* text;
        std::string name;
    } cases[] = {
        {"Piano", "Piano"},
        {"  Piano \t", "Piano"},
        {"", "USB Keys"},
        {"   ", "USB Keys"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.text);
        EXPECT_EQ(editedName(row, test.text), test.name);
    }
    EXPECT_EQ(editedName(row, std::string(300, 'x')).size(), 127u);
}

TEST(CustomPortNames, StoredByDirectionKeepingAbsentDevices) {
    SettingsTree tree;
    tree.setString(kCustomInNamesKey, "USB Keys", "Old keys");
    tree.setString(kCustomInNamesKey, "Unplugged", "Kept");
    tree.setString(kCustomOutNamesKey, "Synth", "Lead");
    const std::vector<PortNameRow> rows = {
        {true, "USB Keys", "USB Keys"}, // cleared: the device name is shown again
        {true, "Pads", "Drum pads"},    {false, "Synth", "Synth"},
        {false, "Pads", "Pads out"}, // same device name in the other direction
        {false, "Pads #2", "Pads #2"},
    };
    EXPECT_EQ(sharedShownName(rows), std::nullopt);
    writeCustomPortNames(tree, rows);
    EXPECT_EQ(tree.valueNames(kCustomInNamesKey), (std::vector<std::string>{"Unplugged", "Pads"}));
    EXPECT_EQ(tree.string(kCustomInNamesKey, "Pads"), "Drum pads");
    EXPECT_EQ(tree.string(kCustomInNamesKey, "Unplugged"), "Kept");
    EXPECT_EQ(tree.valueNames(kCustomOutNamesKey), std::vector<std::string>{"Pads"});
    EXPECT_EQ(customNamesOf(rows, false),
              (std::map<std::string, std::string>{{"Pads", "Pads out"}}));

    const std::vector<PortNameRow> clash = {
        {false, "Synth", "Lead"}, {true, "Keys", "Lead"}, {false, "Pads", "Lead"}};
    EXPECT_EQ(sharedShownName(clash), "Lead");
    EXPECT_EQ(sharedShownName({{false, "Synth", "Pads"}, {false, "Pads", "Pads"}}), "Pads");
}

} // namespace
} // namespace corvex
