// The binding of the optional external script host, libcvxlua.so. The host stays loaded
// once it is found; until it is bound with all three entry points, the calls that reach it
// do nothing.
#include "cvxlib.h"

#include <atomic>
#include <dlfcn.h>

namespace {

constexpr char kScriptHostLibrary[] = "libcvxlua.so";

using RunProgram = void (*)(HWND, uint64_t);
using RemoteShutdown = void (*)(void);
using MidiInput = void (*)(HWND);

std::atomic<RunProgram> runProgram{nullptr};
std::atomic<RemoteShutdown> remoteShutdown{nullptr};
std::atomic<MidiInput> midiInput{nullptr};

template <typename Function> Function entryPoint(void* library, const char* name) {
    return reinterpret_cast<Function>(dlsym(library, name));
}

} // namespace

extern "C" {

int InitRexxDll(void) {
    void* library = dlopen(kScriptHostLibrary, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        return 0;
    }
    auto run = entryPoint<RunProgram>(library, "RunRexxProgram");
    auto shutdown = entryPoint<RemoteShutdown>(library, "RexxRemoteShutdown");
    auto input = entryPoint<MidiInput>(library, "VUVMidiInput");
    // A host without all three is not bound at all: half of a host is never called.
    if (run == nullptr || shutdown == nullptr || input == nullptr) {
        return 0;
    }
    runProgram.store(run);
    remoteShutdown.store(shutdown);
    midiInput.store(input);
    return 1;
}

void RunRexxRoutine(HWND window, uint64_t argument) {
    if (RunProgram run = runProgram.load()) {
        run(window, argument);
    }
}

void RexxTerminate(void) {
    if (RemoteShutdown shutdown = remoteShutdown.load()) {
        shutdown();
    }
}

void CVXLUAMidiInput(HWND window) {
    if (MidiInput input = midiInput.load()) {
        input(window);
    }
}

} // extern "C"
