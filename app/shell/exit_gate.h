// The first steps of the shutdown, before anything is saved: while scripts are attached to
// the engine the user decides whether the program waits for them, asks them to close it,
// or ends anyway. Plain logic; the application supplies the engine calls and the dialogs.
//
// Threads: user-interface thread only.
#pragma once

#include <functional>

namespace corvex {

// The choices of the "WSH Attachments" question.
enum class AttachmentAnswer {
    KeepRunning,      // "&No, just continue" or Cancel
    LetScriptsClose,  // "Yes, Let the &script shutdown Corvex"
    ExitAfterScripts, // "&Yes, and then forcibly Exit Corvex"
    ExitNow,          // "No, just E&xit"
};

struct ExitGateHooks {
    // The number of scripts attached to the engine.
    std::function<int()> attachments;
    // Asks the user; `preselected` is the answer given last time.
    std::function<AttachmentAnswer(AttachmentAnswer preselected)> ask;
    // Switches the script and Dock input diversion off with flush, which wakes the scripts.
    std::function<void()> releaseScripts;
    // Waits, showing "Waiting for Script to Exit...", until no script is attached or the
    // user cancels.
    std::function<void()> waitForScripts;
    // Asks the frame to close again after `ms` milliseconds.
    std::function<void(int ms)> closeAgainAfter;
};

class ExitGate {
public:
    static constexpr int kForcedExitDelayMs = 1000;

    explicit ExitGate(ExitGateHooks hooks) : hooks_(std::move(hooks)) {}

    // Called when the frame is asked to close: true when the shutdown goes on to saving.
    bool mayClose();
    bool forcedExitPending() const { return forcedExitPending_; }

private:
    ExitGateHooks hooks_;
    AttachmentAnswer lastAnswer_ = AttachmentAnswer::KeepRunning;
    bool forcedExitPending_ = false;
};

} // namespace corvex
