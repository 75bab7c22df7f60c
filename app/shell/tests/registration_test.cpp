#include "shell/registration.h"

#include "shell/desktop_registration.h"

#include "ini/profile_strings.h"
#include "support/isolated_home.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace corvex {
namespace {

std::string engineFile() {
    return cvx::testing::isolatedHome() + "/CVXLIB.INI";
}

TEST(RegistrationTest, InstallWritesEveryPanicKeyExplicitly) {
    std::ofstream(engineFile()) << "[Options]\nAutoOpen=0\n[Panic]\nVolume=90\n";
    const RegistrationOutcome outcome = performRegistration(Registration::Install, engineFile());
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(outcome.message.empty());
    EXPECT_EQ(cvx::profile::readProfileString(engineFile(), "Panic", "MinDelay", ""), "4");
    EXPECT_EQ(cvx::profile::readProfileString(engineFile(), "Panic", "Volume", ""), "90");
    EXPECT_EQ(cvx::profile::readProfileString(engineFile(), "Options", "AutoOpen", ""), "0");
    std::filesystem::remove(engineFile());
}

TEST(RegistrationTest, FailuresAndMissingFeaturesNeverReportSuccess) {
    const std::string folder = cvx::testing::isolatedHome() + "/a folder";
    std::filesystem::create_directories(folder);
    const RegistrationOutcome unwritable = performRegistration(Registration::Install, folder);
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_NE(unwritable.message.find(folder), std::string::npos);
    EXPECT_EQ(performRegistration(Registration::Install, "").exitCode, 1);

    for (const Registration word : {Registration::RegServer, Registration::UnregServer}) {
        const RegistrationOutcome outcome = performRegistration(word, engineFile());
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_NE(outcome.message.find("not available"), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(engineFile()));
}

// "--reg" gives the user's desktop the file types and both programs, started from the
// folder of the program that ran it, and makes no program the default for anything.
TEST(RegistrationTest, RegMakesTheTypesAndProgramsKnownToTheDesktop) {
    const std::string data = cvx::testing::isolatedHome() + "/.local/share";
    const RegistrationOutcome outcome = performRegistration(Registration::Reg, engineFile());
    EXPECT_EQ(outcome.exitCode, 0) << outcome.message;
    std::ifstream package(data + "/mime/packages/corvex.xml");
    std::stringstream types;
    types << package.rdbuf();
    EXPECT_NE(types.str().find("application/x-corvex-sysex"), std::string::npos);
    if (outcome.message.empty()) { // update-mime-database ran
        EXPECT_TRUE(std::filesystem::exists(data + "/mime/globs2"));
    }
    std::ifstream entry(data + "/applications/corvex.desktop");
    std::stringstream corvex;
    corvex << entry.rdbuf();
    const std::string folder =
        std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
    EXPECT_NE(corvex.str().find("\nExec=" + folder + "/corvex %F\n"), std::string::npos);
    EXPECT_NE(corvex.str().find("\nExec=" + folder + "/corvex --send %f\n"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(data + "/applications/tunelet.desktop"));
    EXPECT_FALSE(std::filesystem::exists(cvx::testing::isolatedHome() + "/.config/mimeapps.list"));

    EXPECT_EQ(entryStartingFrom("[Desktop Entry]\nTryExec=tunelet\nName=Exec=x\n", "/opt/bin"),
              "[Desktop Entry]\nTryExec=/opt/bin/tunelet\nName=Exec=x\n");
}

} // namespace
} // namespace corvex
