// A script host with all three entry points. The input entry drains the Lua queue of the
// client that the run entry was given, as a real host does when the engine has Lua input.
#include "script_host_calls.h"

#include <stdexcept>

namespace {

cvx::test::ScriptHostCalls calls;

} // namespace

extern "C" {

void RunRexxProgram(HWND window, uint64_t argument) {
    ++calls.runs;
    calls.runWindow = window;
    if (argument == cvx::test::kThrowingArgument) {
        throw std::runtime_error("the script failed");
    }
    calls.runArgument = argument;
}

void RexxRemoteShutdown() {
    ++calls.shutdowns;
}

void VUVMidiInput(HWND) {
    ++calls.inputs;
    EVENT event{};
    while (GetEvent(calls.runArgument, &event, MON_LUA)) {
        ++calls.luaEvents;
    }
}

cvx::test::ScriptHostCalls* scriptHostCalls() {
    return &calls;
}

} // extern "C"
