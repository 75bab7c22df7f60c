// A script host that lacks two of the three entry points.
#include "script_host_calls.h"

namespace {

cvx::test::ScriptHostCalls calls;

} // namespace

extern "C" {

void RunRexxProgram(HWND window, uint64_t argument) {
    ++calls.runs;
    calls.runWindow = window;
    calls.runArgument = argument;
}

cvx::test::ScriptHostCalls* scriptHostCalls() {
    return &calls;
}

} // extern "C"
