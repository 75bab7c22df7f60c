// The client API called with what a faulty program might pass: null, stale, foreign and
// random client handles and port handles, null records, out-of-range indices, sizes and
// values, in any order. Pointers and the sizes that go with them are always consistent (a
// caller cannot be defended against a size larger than its buffer). Checks: no crash, no
// read or write outside the records handed in, no leak.
#include "cvxlib.h"
#include "engine_fuzz_support.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

namespace {

struct Session {
    uint64_t client = 0;
    uint64_t destroyedClient = 0;
    HMIDIIN input = nullptr;
    HMIDIIN closedInput = nullptr;
    HMIDIOUT output = nullptr;
    HMIDIOUT closedOutput = nullptr;

    Session() {
        cvx::fuzz::useLoopbackCablesOnly();
        cvxClockManual(1);
        InitCallBack();
        client = CreateClient(cvx::fuzz::silentWindow(), nullptr, nullptr);
        destroyedClient = CreateClient(cvx::fuzz::silentWindow(), nullptr, nullptr);
        DestroyClient(destroyedClient);
        OpenMidiIn(&closedInput, 1, client);
        CloseMidiIn(closedInput, client);
        CPortMap map{};
        OpenMidiOut(&closedOutput, 3, 0, &map, client);
        CloseMidiOut(closedOutput, client);
        OpenMidiIn(&input, 0, client);
        OpenMidiOut(&output, 2, 0, &map, client);
    }
};

uint64_t pickClient(FuzzedDataProvider& in, const Session& session) {
    switch (in.ConsumeIntegralInRange<int>(0, 4)) {
    case 0:
        return 0;
    case 1:
        return session.destroyedClient;
    case 2:
        return in.ConsumeIntegral<uint64_t>();
    default:
        return session.client;
    }
}

template <typename Handle> Handle pickHandle(FuzzedDataProvider& in, Handle open, Handle closed) {
    switch (in.ConsumeIntegralInRange<int>(0, 4)) {
    case 0:
        return nullptr;
    case 1:
        return closed;
    case 2:
        return reinterpret_cast<Handle>(static_cast<uintptr_t>(in.ConsumeIntegral<uint64_t>()));
    default:
        return open;
    }
}

HWND pickWindow(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange<int>(0, 2)) {
    case 0:
        return nullptr;
    case 1:
        return reinterpret_cast<HWND>(static_cast<uintptr_t>(in.ConsumeIntegral<uint64_t>()));
    default:
        return cvx::fuzz::silentWindow();
    }
}

template <typename Record> Record* pickRecord(FuzzedDataProvider& in, Record& storage) {
    if (in.ConsumeBool()) {
        return nullptr;
    }
    const std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(sizeof(Record));
    storage = Record{};
    std::copy(bytes.begin(), bytes.end(), reinterpret_cast<uint8_t*>(&storage));
    return &storage;
}

void portCall(FuzzedDataProvider& in, Session& s, int which) {
    const uint64_t client = pickClient(in, s);
    HMIDIIN input = pickHandle(in, s.input, s.closedInput);
    HMIDIOUT output = pickHandle(in, s.output, s.closedOutput);
    CPortMap map;
    switch (which) {
    case 0: {
        HMIDIIN opened = nullptr;
        if (OpenMidiIn(in.ConsumeBool() ? &opened : nullptr, in.ConsumeIntegral<uint16_t>(),
                       client) == MMSYSERR_NOERROR &&
            opened != nullptr) {
            CloseMidiIn(opened, client);
        }
        break;
    }
    case 1: {
        HMIDIOUT opened = nullptr;
        // Outputs 0 and 1 feed the open input 0 and cable 2: stay clear of feedback loops.
        const auto device = static_cast<uint16_t>(in.ConsumeIntegralInRange<int>(3, 70000));
        if (OpenMidiOut(in.ConsumeBool() ? &opened : nullptr, device, in.ConsumeBool(),
                        pickRecord(in, map), client) == MMSYSERR_NOERROR &&
            opened != nullptr) {
            CloseMidiOut(opened, client);
        }
        break;
    }
    case 2:
        CloseMidiIn(input, client);
        break;
    case 3:
        CloseMidiOut(output, client);
        break;
    case 4:
        StartMidiIn(input);
        break;
    case 5:
        UpdatePortMap(client, in.ConsumeIntegral<uint16_t>(), pickRecord(in, map));
        break;
    case 6:
        AllocSyxBufIn(input, client, in.ConsumeIntegral<uint16_t>() % 4096);
        break;
    case 7:
        AllocSyxBufOut(output, client, in.ConsumeIntegral<uint16_t>() % 4096);
        break;
    case 8:
        FreeSyxBufIn(input, client);
        break;
    case 9:
        FreeSyxBufOut(output, client);
        break;
    default:
        RetBuf(input, in.ConsumeIntegral<uint64_t>());
        break;
    }
}

void dataCall(FuzzedDataProvider& in, Session& s, int which) {
    const uint64_t client = pickClient(in, s);
    const auto id = static_cast<MonID>(in.ConsumeIntegralInRange<int>(-1, 7));
    const auto size = in.ConsumeIntegralInRange<uint16_t>(0, 600);
    std::vector<uint8_t> buffer(size);
    EVENT event{};
    CFilter filter;
    PatchMapInfo info;
    CPortStatus status;
    switch (which) {
    case 0:
        GetEvent(client, in.ConsumeBool() ? &event : nullptr, id);
        break;
    case 1:
        GetSysExString(client, in.ConsumeIntegral<uint16_t>(),
                       size > 0 && in.ConsumeBool() ? buffer.data() : nullptr, size);
        break;
    case 2:
        GetRawSxBuf(client, id, in.ConsumeIntegral<uint16_t>(),
                    size > 0 && in.ConsumeBool() ? buffer.data() : nullptr, size);
        break;
    case 3:
        GetSysExData(client, size > 0 && in.ConsumeBool() ? buffer.data() : nullptr, size);
        break;
    case 4: {
        std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(size);
        SendSysEx(client, bytes.empty() ? nullptr : reinterpret_cast<char*>(bytes.data()),
                  static_cast<uint16_t>(bytes.size()));
        break;
    }
    case 5:
        SendFilter(client, pickRecord(in, filter));
        break;
    case 6:
        SendPMInfo(client, pickRecord(in, info));
        break;
    case 7:
        GetPortStatus(client, in.ConsumeBool() ? &status : nullptr);
        break;
    case 8:
        corvexEvent(client, in.ConsumeIntegral<uint16_t>(), in.ConsumeIntegral<uint16_t>(),
                    in.ConsumeIntegral<uint16_t>(), in.ConsumeIntegral<uint16_t>(),
                    in.ConsumeIntegral<int>());
        break;
    case 9:
        corvexEventDirect(client, in.ConsumeIntegral<int>(), in.ConsumeIntegral<uint16_t>(),
                          in.ConsumeIntegral<uint16_t>(), in.ConsumeIntegral<uint16_t>(),
                          in.ConsumeIntegral<int>());
        break;
    default:
        CorvexMapEvent(client, in.ConsumeIntegral<uint32_t>(), in.ConsumeIntegral<uint16_t>(),
                       in.ConsumeIntegral<uint16_t>(), in.ConsumeIntegral<uint16_t>());
        break;
    }
}

void consumerCall(FuzzedDataProvider& in, Session& s, int which) {
    const uint64_t client = pickClient(in, s);
    const HWND window = pickWindow(in);
    const int flag = in.ConsumeIntegral<int>();
    const auto value = in.ConsumeIntegral<uint16_t>();
    switch (which) {
    case 0:
        AttachRawMonitor(client, window) != 0 ? DetachRawMonitor(client) : 0;
        break;
    case 1:
        AttachLua(client, window, flag) != 0 ? DetachLua(client) : 0;
        break;
    case 2:
        InitCvxScript(client, window);
        DivertCvxScriptInput(client, flag, in.ConsumeIntegral<int>());
        IsCvxScriptInputDiverted(client);
        TermCvxScript(client);
        break;
    case 3:
        InitCvxDock(client, in.ConsumeIntegral<uint32_t>(), window);
        DivertCvxDockInput(client, flag, in.ConsumeIntegral<int>());
        TermCvxDock(client, in.ConsumeIntegral<uint32_t>());
        break;
    case 4:
        DivertSysExStart(client, window);
        DivertSysExSet(client, value, in.ConsumeIntegral<uint16_t>());
        DivertSysExStop(client);
        break;
    case 5:
        AttachMTC(client, window);
        ConfigMTC(client, value, in.ConsumeIntegral<uint16_t>(), in.ConsumeIntegral<uint32_t>());
        GenMTCStart(client);
        cvxClockAdvance(in.ConsumeIntegralInRange<uint32_t>(0, 200));
        GenMTCStop(client, flag);
        DetachMTC(client);
        break;
    case 6:
        AttachSync(client, window);
        ConfigSync(client, value, in.ConsumeIntegral<uint16_t>(), in.ConsumeIntegral<uint16_t>());
        StartClock(client);
        SyncCmd(client, in.ConsumeIntegral<uint16_t>(), in.ConsumeIntegral<uint16_t>());
        cvxClockAdvance(in.ConsumeIntegralInRange<uint32_t>(0, 200));
        StopClock(client);
        DetachSync(client);
        break;
    case 7:
        SendParms(client, in.ConsumeIntegral<uint32_t>(), in.ConsumeIntegral<uint32_t>());
        SendRunStatus(client, flag);
        BlockInput(client, in.ConsumeBool());
        break;
    case 8:
        GetCurrentStatus(client, value);
        IsInDevOpen(client, value);
        IsOutDevOpen(client, in.ConsumeIntegral<uint16_t>());
        InDevOpenCount(client);
        OutDevOpenCount(client);
        GetNumAttach(client);
        GetTimeStamp(client);
        StartTimeStamp(client);
        break;
    default:
        ClearPDMap(client, in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>());
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Session session;
    FuzzedDataProvider in(data, size);
    for (int call = 0; call < 64 && in.remaining_bytes() > 0; ++call) {
        switch (in.ConsumeIntegralInRange<int>(0, 2)) {
        case 0:
            portCall(in, session, in.ConsumeIntegralInRange<int>(0, 10));
            break;
        case 1:
            dataCall(in, session, in.ConsumeIntegralInRange<int>(0, 10));
            break;
        default:
            consumerCall(in, session, in.ConsumeIntegralInRange<int>(0, 9));
            break;
        }
    }
    // Each run starts again from the session's ports open and nothing attached.
    CloseMidiIn(session.input, session.client);
    CloseMidiOut(session.output, session.client);
    CPortMap map{};
    session.input = nullptr;
    session.output = nullptr;
    OpenMidiIn(&session.input, 0, session.client);
    OpenMidiOut(&session.output, 2, 0, &map, session.client);
    vmidiSettle();
    cvxClockAdvance(50);
    EVENT event;
    for (MonID id = MON_RAW_INPUT; id <= MON_SCRIPT; ++id) {
        while (GetEvent(session.client, &event, id) != 0) {
        }
    }
    return 0;
}
