// One QApplication for a GoogleTest program of Qt windows, made after the shared test main
// has set up the temporary home (the offscreen platform comes from the environment).
#pragma once

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace corvex::testing {

class QtTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "frame_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

} // namespace corvex::testing
