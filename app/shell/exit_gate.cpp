#include "shell/exit_gate.h"

namespace corvex {

bool ExitGate::mayClose() {
    if (forcedExitPending_) {
        forcedExitPending_ = false;
        if (hooks_.waitForScripts) {
            hooks_.waitForScripts();
        }
        return true;
    }
    if (!hooks_.attachments || hooks_.attachments() == 0 || !hooks_.ask) {
        return true;
    }
    lastAnswer_ = hooks_.ask(lastAnswer_);
    switch (lastAnswer_) {
    case AttachmentAnswer::KeepRunning:
        return false;
    case AttachmentAnswer::LetScriptsClose:
        hooks_.releaseScripts();
        return false;
    case AttachmentAnswer::ExitAfterScripts:
        hooks_.releaseScripts();
        forcedExitPending_ = true;
        hooks_.closeAgainAfter(kForcedExitDelayMs);
        return false;
    case AttachmentAnswer::ExitNow:
        return true;
    }
    return true;
}

} // namespace corvex
