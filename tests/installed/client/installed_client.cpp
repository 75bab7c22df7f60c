// A first client, as a new user writes it from the documentation: open "Corvex Loopback 1"'s
// input and "Corvex Loopback 2"'s output (routing a cable's input to its own output would
// feed every message back into itself), route channel 1 from one to the other, wait for the
// engine's notification on an event target, and read the event the engine routed.
// Exits 0 when the note arrived on the output and in the main queue.
#include <cvxlib.h>
#include <vmidi.h>

#include <poll.h>

#include <cstdio>
#include <cstring>

namespace {

int fail(const char* what) {
    std::fprintf(stderr, "installed client: %s\n", what);
    return 1;
}

int findInput(const char* name) {
    MIDIINCAPS caps{};
    for (UINT device = 0; device < midiInGetNumDevs(); ++device) {
        if (midiInGetDevCaps(device, &caps, sizeof caps) == MMSYSERR_NOERROR &&
            std::strcmp(caps.szPname, name) == 0) {
            return static_cast<int>(device);
        }
    }
    return -1;
}

int findOutput(const char* name) {
    MIDIOUTCAPS caps{};
    for (UINT device = 0; device < midiOutGetNumDevs(); ++device) {
        if (midiOutGetDevCaps(device, &caps, sizeof caps) == MMSYSERR_NOERROR &&
            std::strcmp(caps.szPname, name) == 0) {
            return static_cast<int>(device);
        }
    }
    return -1;
}

} // namespace

int main() {
    const int in = findInput("Corvex Loopback 1");
    const int out = findOutput("Corvex Loopback 2");
    if (in < 0 || out < 0) {
        return fail("no loopback cables");
    }
    CvxEventTarget* target = cvxEventTargetCreate(0);
    if (target == nullptr) {
        return fail("no event target");
    }
    InitCallBack();
    CFilter filter{}; // all zero: nothing filtered
    uint64_t client = CreateClient(cvxEventTargetWindow(target), nullptr, &filter);
    if (client == 0) {
        return fail("CreateClient failed");
    }

    CPortMap map{};
    map.inputBits[in / 32] = 1u << (in % 32);
    map.inputMasks[in] = 0x0001; // channel 1 only
    HMIDIIN input = nullptr;
    HMIDIOUT output = nullptr;
    if (OpenMidiIn(&input, static_cast<uint16_t>(in), client) != MMSYSERR_NOERROR ||
        OpenMidiOut(&output, static_cast<uint16_t>(out), 0, &map, client) != MMSYSERR_NOERROR) {
        return fail("cannot open the loopback ports");
    }
    StartTimeStamp(client);
    StartMidiIn(input);

    const unsigned char notes[] = {0x91, 61, 90, 0x90, 60, 100}; // channel 2, then channel 1
    vmidiFeed(static_cast<unsigned>(in), notes, sizeof notes);

    EVENT routed{};
    bool seen = false;
    pollfd p{cvxEventTargetFd(target), POLLIN, 0};
    while (!seen && poll(&p, 1, 20000) == 1) {
        CvxMessage message{};
        while (cvxEventTargetNext(target, &message)) {
            EVENT e{};
            while (message.msg == WM_CVX_EVENTS && GetEvent(client, &e, MON_MAIN)) {
                routed = e;
                seen = true;
            }
        }
    }
    unsigned char sent[16] = {};
    const unsigned count = vmidiTake(static_cast<unsigned>(out), sent, sizeof sent);

    CloseMidiIn(input, client);
    CloseMidiOut(output, client);
    DestroyClient(client);
    FreeCallBack();
    cvxEventTargetDestroy(target);

    if (!seen || (routed.message & 0xFFFFFF) != 0x643C90 || routed.outPort != out + 1) {
        return fail("the routed note did not reach the main queue");
    }
    if (count != 3 || sent[0] != 0x90 || sent[1] != 60 || sent[2] != 100) {
        return fail("the output did not send exactly the channel 1 note");
    }
    std::printf("installed client: note routed from input %d to output %d\n", in, out);
    return 0;
}
