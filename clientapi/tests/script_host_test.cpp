// Binding the script host. Each suite runs in a process of its own, with the folder of one
// test host on the library path (see CMakeLists.txt): a bound host stays bound.
#include "client_api_fixture.h"
#include "script_host_calls.h"

#include <dlfcn.h>

namespace cvx::test {
namespace {

// The calls the loaded host recorded; InitRexxDll must have loaded it.
ScriptHostCalls& hostCalls() {
    void* host = dlopen("libcvxlua.so", RTLD_NOW | RTLD_NOLOAD);
    EXPECT_NE(host, nullptr);
    auto calls = reinterpret_cast<ScriptHostCallsFunction>(dlsym(host, kScriptHostCallsName));
    dlclose(host); // drops only this look-up's reference
    return *calls();
}

using FullScriptHost = ClientApiTest;

TEST_F(FullScriptHost, ForwardsToEveryEntryPointOnceBound) {
    RunRexxRoutine(mainWindow.handle(), client); // not bound yet: nothing
    ASSERT_EQ(InitRexxDll(), 1);
    ScriptHostCalls& calls = hostCalls();
    EXPECT_EQ(calls.runs, 0);

    RecordingWindow lua;
    openInput(0);
    ASSERT_EQ(AttachLua(client, lua.handle(), 1), 1);
    RunRexxRoutine(mainWindow.handle(), client);
    EXPECT_EQ(calls.runs, 1);
    EXPECT_EQ(calls.runWindow, mainWindow.handle());
    EXPECT_EQ(calls.runArgument, client);

    feed(0, {0x90, 60, 100, 0x80, 60, 0});
    EXPECT_EQ(lua.count(WM_CVX_SCRIPTINPUT), 2u);
    CVXLUAMidiInput(lua.handle());
    EXPECT_EQ(calls.inputs, 1);
    EXPECT_EQ(calls.luaEvents, 2);

    RexxTerminate();
    EXPECT_EQ(calls.shutdowns, 1);
    EXPECT_EQ(DetachLua(client), 1);
}

// An exception the host lets out ends at the client library: the caller, which may be C,
// never sees it unwind.
TEST_F(FullScriptHost, AnExceptionFromTheHostStopsAtTheCall) {
    ASSERT_EQ(InitRexxDll(), 1);
    ScriptHostCalls& calls = hostCalls();
    int runs = calls.runs;
    RunRexxRoutine(mainWindow.handle(), kThrowingArgument);
    EXPECT_EQ(calls.runs, runs + 1);
}

using PartialScriptHost = ClientApiTest;

TEST_F(PartialScriptHost, IsNotBoundWithoutAllThreeEntryPoints) {
    EXPECT_EQ(InitRexxDll(), 0);
    RunRexxRoutine(mainWindow.handle(), client);
    RexxTerminate();
    CVXLUAMidiInput(mainWindow.handle());
    EXPECT_EQ(hostCalls().runs, 0);
}

} // namespace
} // namespace cvx::test
