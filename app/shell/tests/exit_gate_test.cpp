#include "shell/exit_gate.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvex {
namespace {

// Every answer to the attachment question, with what the close does next.
TEST(ExitGateTest, AttachedScriptsDecideHowTheCloseGoesOn) {
    struct Case {
        int attachments;
        AttachmentAnswer answer;
        bool closes;
        int releases;
        std::vector<int> closeAgain;
    };
    const Case cases[] = {
        {0, AttachmentAnswer::KeepRunning, true, 0, {}}, // nobody asked
        {2, AttachmentAnswer::KeepRunning, false, 0, {}},
        {1, AttachmentAnswer::LetScriptsClose, false, 1, {}},
        {1, AttachmentAnswer::ExitAfterScripts, false, 1, {ExitGate::kForcedExitDelayMs}},
        {3, AttachmentAnswer::ExitNow, true, 0, {}},
    };
    for (const Case& c : cases) {
        int asked = 0;
        int releases = 0;
        std::vector<int> closeAgain;
        ExitGate gate({[&] { return c.attachments; },
                       [&](AttachmentAnswer) {
                           ++asked;
                           return c.answer;
                       },
                       [&] { ++releases; }, [] {}, [&](int ms) { closeAgain.push_back(ms); }});
        EXPECT_EQ(gate.mayClose(), c.closes) << static_cast<int>(c.answer);
        EXPECT_EQ(asked, c.attachments > 0 ? 1 : 0);
        EXPECT_EQ(releases, c.releases);
        EXPECT_EQ(closeAgain, c.closeAgain);
    }
}

TEST(ExitGateTest, AForcedExitWaitsForTheScriptsOnceThenCloses) {
    int waits = 0;
    std::vector<AttachmentAnswer> preselected;
    ExitGate gate({[] { return 1; },
                   [&](AttachmentAnswer last) {
                       preselected.push_back(last);
                       return AttachmentAnswer::ExitAfterScripts;
                   },
                   [] {}, [&] { ++waits; }, [](int) {}});
    EXPECT_FALSE(gate.mayClose());
    EXPECT_TRUE(gate.forcedExitPending());
    EXPECT_TRUE(gate.mayClose()); // the close posted again: wait, then go on
    EXPECT_EQ(waits, 1);
    EXPECT_FALSE(gate.forcedExitPending());
    EXPECT_FALSE(gate.mayClose()); // asked again, with the last answer preselected
    EXPECT_EQ(preselected,
              (std::vector{AttachmentAnswer::KeepRunning, AttachmentAnswer::ExitAfterScripts}));
}

} // namespace
} // namespace corvex
