// What the test script hosts record of the calls that reach them.
#pragma once

#include "cvxlib.h"

namespace cvx::test {

struct ScriptHostCalls {
    int runs = 0;
    HWND runWindow = nullptr;
    uint64_t runArgument = 0; // the client, for the hosts of these tests
    int inputs = 0;
    int luaEvents = 0; // read from the Lua queue by the input entry
    int shutdowns = 0;
};

// The run entry of the full host throws when given this argument, as a careless host might.
inline constexpr uint64_t kThrowingArgument = ~uint64_t{0};

// Exported by each test host under this name.
inline constexpr char kScriptHostCallsName[] = "scriptHostCalls";
using ScriptHostCallsFunction = ScriptHostCalls* (*)();

} // namespace cvx::test
