// Arbitrary filter, port-map and patch-map records handed to the engine while messages
// flow from a loopback input and from injection. Checks: no crash, no read outside the
// records, only valid MIDI reaches the outputs.
#include "engine_fuzz_support.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

namespace {

template <typename Record> Record consumeRecord(FuzzedDataProvider& provider) {
    Record record{};
    const std::vector<uint8_t> bytes = provider.ConsumeBytes<uint8_t>(sizeof(Record));
    std::copy(bytes.begin(), bytes.end(), reinterpret_cast<uint8_t*>(&record));
    return record;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static cvx::fuzz::EngineOnCables engine;
    FuzzedDataProvider provider(data, size);
    m32SendRunStatus(engine.client, provider.ConsumeBool() ? 1 : 0);

    while (provider.remaining_bytes() > 0) {
        switch (provider.ConsumeIntegralInRange<int>(0, 5)) {
        case 0: {
            CFilter filter = consumeRecord<CFilter>(provider);
            m32SendFilter(engine.client, provider.ConsumeBool() ? &filter : nullptr);
            break;
        }
        case 1: {
            CPortMap map = consumeRecord<CPortMap>(provider);
            const auto output = provider.ConsumeIntegralInRange<uint16_t>(0, 200);
            m32UpdPortMap(engine.client, output, provider.ConsumeBool() ? &map : nullptr);
            break;
        }
        case 2: {
            PatchMapInfo info = consumeRecord<PatchMapInfo>(provider);
            m32SendPMInfo(engine.client, provider.ConsumeBool() ? &info : nullptr);
            break;
        }
        case 3: {
            const std::vector<uint8_t> bytes =
                provider.ConsumeBytes<uint8_t>(provider.ConsumeIntegralInRange<size_t>(1, 64));
            vmidiFeed(0, bytes.data(), static_cast<unsigned>(bytes.size()));
            break;
        }
        case 4: {
            const auto status = provider.ConsumeIntegral<uint16_t>();
            const auto data1 = provider.ConsumeIntegral<uint16_t>();
            const auto data2 = provider.ConsumeIntegral<uint16_t>();
            m32corvexEvent(engine.client, status, status & 0x0F, data1, data2,
                           provider.ConsumeIntegralInRange<int>(0, 4));
            break;
        }
        default:
            cvxClockAdvance(provider.ConsumeIntegralInRange<uint32_t>(1, 50));
            break;
        }
    }
    // The next run starts from routing everything again, unfiltered, without a patch map.
    engine.settleAndCheckOutputs();
    CPortMap everything{};
    for (uint32_t i = 0; i < CVX_PORT_COUNT; ++i) {
        everything.inputBits[i / 32] |= 1u << (i % 32);
        everything.inputMasks[i] = 0x7FFFF;
    }
    m32UpdPortMap(engine.client, 1, &everything);
    m32UpdPortMap(engine.client, 2, &everything);
    CFilter none{};
    m32SendFilter(engine.client, &none);
    PatchMapInfo off{};
    m32SendPMInfo(engine.client, &off);
    return 0;
}
