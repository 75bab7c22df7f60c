#include "settings/settings_tree.h"

#include <gtest/gtest.h>

namespace corvex {
namespace {

TEST(SettingsTree, TypedReadsRefuseOtherTypesAndSizes) {
    SettingsTree tree;
    tree.setString("K", "text", "7");
    tree.setBinary("K", "record", "1234", 4);
    EXPECT_FALSE(tree.dword("K", "text"));
    EXPECT_FALSE(tree.binary("K", "record", 5));
    EXPECT_TRUE(tree.binary("K", "record", 4));
    EXPECT_FALSE(tree.string("K", "record"));
    tree.setDword("K", "TEXT", 3); // replaces the string of the same name
    EXPECT_EQ(tree.dword("K", "text"), 3u);
    EXPECT_EQ(tree.valueNames("K"), (std::vector<std::string>{"text", "record"}));
}

TEST(SettingsTree, SubkeysListEachChildOnce) {
    SettingsTree tree;
    tree.setDword("Profile 1\\Display", "a", 1);
    tree.setDword("Profile 1 old", "a", 1);
    tree.setDword("Profile 1\\MIDI Devices", "a", 1);
    tree.setDword("DevicePresets\\Live\\Deep", "a", 1); // "DevicePresets" only implied
    EXPECT_EQ(tree.subkeys(""),
              (std::vector<std::string>{"DevicePresets", "Profile 1", "Profile 1 old"}));
    EXPECT_EQ(tree.subkeys("profile 1"), (std::vector<std::string>{"Display", "MIDI Devices"}));
    EXPECT_EQ(tree.subkeys("DevicePresets"), std::vector<std::string>{"Live"});
    EXPECT_TRUE(tree.hasKey("DevicePresets"));
}

TEST(SettingsTree, RemovingAKeyRemovesItsSubtreeOnly) {
    SettingsTree tree;
    tree.setDword("Profile 1", "a", 1);
    tree.setDword("Profile 1\\Display", "a", 1);
    tree.setDword("Profile 10", "a", 1);
    tree.setDword("Profile 1 copy", "a", 1);
    EXPECT_TRUE(tree.removeKey("profile 1"));
    EXPECT_FALSE(tree.hasKey("Profile 1"));
    EXPECT_FALSE(tree.hasKey("Profile 1\\Display"));
    EXPECT_TRUE(tree.hasKey("Profile 10"));
    EXPECT_TRUE(tree.hasKey("Profile 1 copy"));
}

TEST(SettingsTree, KeyPathsAreNormalisedAndControlCharactersRefused) {
    SettingsTree tree;
    EXPECT_TRUE(tree.setDword("\\Profile 2\\\\Display\\", "x", 5));
    EXPECT_EQ(tree.dword("Profile 2\\Display", "x"), 5u);
    // '/' belongs to the name, as in a favourite called "Piano/Strings".
    EXPECT_TRUE(tree.setDword("Favorite Patches\\Piano/Strings", "Patch", 1));
    EXPECT_EQ(tree.subkeys("Favorite Patches"), std::vector<std::string>{"Piano/Strings"});
    EXPECT_FALSE(tree.setDword("Bad\nKey", "x", 1));
    EXPECT_FALSE(tree.setBinary("K", "big", std::string(kMaxSettingBytes + 1, 'x').data(),
                                kMaxSettingBytes + 1));
    EXPECT_FALSE(tree.hasKey("K"));
}

} // namespace
} // namespace corvex
