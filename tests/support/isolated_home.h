// Every test process runs with its own temporary home: HOME and the XDG folders point into
// a fresh folder made before the first test and removed after the last, so no test ever
// reads or writes the real user's files, and test processes running in parallel never share
// settings, logs or instance slots.
#pragma once

#include <string>

namespace cvx::testing {

// The temporary home folder of this test process (empty before main() set it up).
const std::string& isolatedHome();

// Points HOME, XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_RUNTIME_DIR, XDG_DOCUMENTS_DIR and
// XDG_CACHE_HOME into a new temporary folder and creates those folders. Called once by the
// shared test main before any test runs; returns the folder.
std::string makeIsolatedHome();

// Removes the folder made by makeIsolatedHome().
void removeIsolatedHome();

// An isolated home for the life of the object: benchmarks and tools that run the engine
// make one first thing in main().
class ScopedIsolatedHome {
public:
    ScopedIsolatedHome() { makeIsolatedHome(); }
    ~ScopedIsolatedHome() { removeIsolatedHome(); }
    ScopedIsolatedHome(const ScopedIsolatedHome&) = delete;
    ScopedIsolatedHome& operator=(const ScopedIsolatedHome&) = delete;
};

} // namespace cvx::testing
