#include "shell/registration.h"

#include "ini/profile_strings.h"
#include "support/isolated_home.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

    for (const Registration word :
         {Registration::Reg, Registration::RegServer, Registration::UnregServer}) {
        const RegistrationOutcome outcome = performRegistration(word, engineFile());
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_NE(outcome.message.find("not available"), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(engineFile()));
}

} // namespace
} // namespace corvex
