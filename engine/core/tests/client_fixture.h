// A client on the manual clock with a recording main window, for the engine's tests.
#pragma once

#include "core/client.h"
#include "cvxcore.h"
#include "recording_window.h"
#include "vmidi.h"

#include <gtest/gtest.h>

#include <vector>

namespace cvx::test {

class ClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        cvxClockManual(1);
        handle = m32CreateClient(mainWindow.handle(), nullptr, &filter);
        ASSERT_NE(handle, 0u);
        client = cvx::core::clientFromHandle(handle);
        drainAll();
    }

    void TearDown() override {
        m32DestroyClient(handle);
        drainAll();
        cvxClockManual(0);
    }

    // Empties the process-wide read caches so one test's events never reach the next.
    static void drainAll() {
        EVENT e{};
        for (MonID id = 1; id <= 5; ++id) {
            while (m32GetEvent(0, &e, id)) {
            }
        }
    }

    std::vector<EVENT> readAll(MonID id) {
        std::vector<EVENT> events;
        EVENT e{};
        while (m32GetEvent(handle, &e, id)) {
            events.push_back(e);
        }
        return events;
    }

    CFilter filter{};
    RecordingWindow mainWindow;
    uint64_t handle = 0;
    cvx::core::CvxClient* client = nullptr;
};

} // namespace cvx::test
