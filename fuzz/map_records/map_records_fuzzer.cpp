// Arbitrary data maps (header, items and SysEx pool) handed to the engine as the global map
// and as per-route maps, then a stream of arbitrary events through them. Checks: no crash,
// no read outside the records (AddressSanitizer), and only valid MIDI reaches the outputs.
#include "engine_fuzz_support.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

namespace {

struct FuzzedMap {
    std::vector<MapItem> items;
    std::vector<uint8_t> pool;
    SMapper map{};
};

// A map whose item count may be anything up to the items really there (negative counts
// included), with a pool of exactly the length it claims.
void makeMap(FuzzedDataProvider& provider, FuzzedMap& out) {
    const size_t itemCount = provider.ConsumeIntegralInRange<size_t>(0, 48);
    out.items.resize(itemCount);
    for (MapItem& item : out.items) {
        const std::vector<uint8_t> bytes = provider.ConsumeBytes<uint8_t>(sizeof(MapItem));
        std::copy(bytes.begin(), bytes.end(), reinterpret_cast<uint8_t*>(&item));
    }
    const auto poolLength = provider.ConsumeIntegral<uint16_t>() % 2048;
    out.pool = provider.ConsumeBytes<uint8_t>(poolLength);
    out.map.mapOptions = provider.ConsumeIntegral<uint16_t>();
    out.map.mapIsOn = provider.ConsumeIntegral<int16_t>();
    out.map.mapKeys = provider.ConsumeIntegral<int16_t>();
    const bool negative = provider.ConsumeBool();
    out.map.itemCount = static_cast<int16_t>(negative ? -static_cast<int>(itemCount) - 1
                                                      : static_cast<int>(itemCount));
    out.map.items = out.items.empty() ? nullptr : out.items.data();
    out.map.sysexLength = static_cast<uint16_t>(out.pool.size());
    out.map.sysexPool = out.pool.empty() ? nullptr : out.pool.data();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static cvx::fuzz::EngineOnCables engine;
    FuzzedDataProvider provider(data, size);

    FuzzedMap global;
    makeMap(provider, global);
    m32SendMap(engine.client, global.map);
    FuzzedMap route;
    makeMap(provider, route);
    const int routeInput = provider.ConsumeIntegralInRange<int>(-2, 137);
    const int routeOutput = provider.ConsumeIntegralInRange<int>(-2, 137);
    m32SendPDMap(engine.client, routeInput, routeOutput, route.map);
    m32SendRunStatus(engine.client, 0);

    while (provider.remaining_bytes() >= 7) {
        const uint8_t how = provider.ConsumeIntegral<uint8_t>();
        const uint16_t status = provider.ConsumeIntegral<uint16_t>();
        const uint16_t data1 = provider.ConsumeIntegral<uint16_t>();
        const uint16_t data2 = provider.ConsumeIntegral<uint16_t>();
        switch (how % 4) {
        case 0:
            m32CorvexMapEvent(engine.client, how / 4 % 137, status, data1, data2);
            break;
        case 1:
            m32corvexEvent(engine.client, status, status & 0x0F, data1, data2, how / 4 % 5);
            break;
        case 2:
            m32corvexEventDirect(engine.client, how / 4 % 4, status, data1, data2, how / 4 % 5);
            break;
        default: {
            const uint8_t bytes[3] = {static_cast<uint8_t>(status), static_cast<uint8_t>(data1),
                                      static_cast<uint8_t>(data2)};
            vmidiFeed(0, bytes, 3);
            break;
        }
        }
    }
    engine.settleAndCheckOutputs();
    m32ClearPDMap(engine.client, routeInput, routeOutput);
    return 0;
}
