// The engine settings file: its place, its defaults and the rewrite of the panic values.
#include "ini/engine_settings.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace cvx::profile {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

TEST(EngineSettingsTest, LivesInTheEngineFolderWhichIsCreated) {
    TempFolder folder;
    setenv("XDG_DATA_HOME", folder.path().c_str(), 1);
    EXPECT_EQ(engineSettingsPath(), folder.file("Corvex/CVXLIB.INI"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("Corvex")));
    unsetenv("XDG_DATA_HOME");
}

TEST(EngineSettingsTest, MissingKeysReadTheirDefaults) {
    TempFolder folder;
    std::string path = folder.file(kEngineSettingsFile);
    EXPECT_EQ(readAutoOpen(path), 1);
    writeFile(path, "[options]\nautoopen=0\n[PANIC]\nvolume=-1\n");
    EXPECT_EQ(readAutoOpen(path), 0);
    PanicSettings panic = readPanicSettings(path);
    EXPECT_EQ(panic.volume, -1);
    EXPECT_EQ(panic.minDelay, 4);
    EXPECT_EQ(panic.pitchBend, 8192);
    EXPECT_EQ(panic.expression, 127);
    EXPECT_EQ(panic.pan, -1);
}

TEST(EngineSettingsTest, RewriteWritesEveryPanicKeyAndKeepsTheRest) {
    TempFolder folder;
    std::string path = folder.file(kEngineSettingsFile);
    writeFile(path, "[Options]\nAutoOpen=0\n\n[Panic]\n; slow device\nminDelay=20\nVolume=oops\n");
    ASSERT_TRUE(rewritePanicDefaults(path));
    EXPECT_EQ(readFile(path), "[Options]\nAutoOpen=0\n\n[Panic]\n; slow device\nminDelay=20\n"
                              "Volume=0\nAllNotesOff=0\nPitchBend=8192\nSustPedal=0\nModWheel=0\n"
                              "ResetCtl=0\nExpression=127\nPan=-1\n");
    ASSERT_TRUE(rewritePanicDefaults(path));
    EXPECT_EQ(readPanicSettings(path).minDelay, 20);
}

} // namespace
} // namespace cvx::profile
