// The one QApplication of a GoogleTest program of Qt windows: made after the shared test
// main has set up the temporary home, destroyed before the home is removed (the offscreen
// platform comes from the environment). A test program registers it once, at namespace
// scope in one of its files:
//     [[maybe_unused]] const auto* const qt = corvex::testing::addQtTestEnvironment();
#pragma once

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace corvex::testing {

class QtTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "corvex_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

inline ::testing::Environment* addQtTestEnvironment() {
    return ::testing::AddGlobalTestEnvironment(new QtTestEnvironment);
}

} // namespace corvex::testing
