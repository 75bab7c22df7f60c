#include "forwarding_paths.h"

#include "cvx_devices.h"
#include "cvxcore.h"
#include "probe_message.h"

#include <vector>

namespace cvx::bench {
namespace {

constexpr UINT kNameSize = 512;

bool findDevice(UINT count, MMRESULT (*name)(UINT, char*, UINT), const std::string& wanted,
                UINT& index) {
    for (UINT i = 0; i < count; ++i) {
        char text[kNameSize] = {};
        if (name(i, text, kNameSize) == MMSYSERR_NOERROR && wanted == text) {
            index = i;
            return true;
        }
    }
    return false;
}

std::string failure(const char* what, MMRESULT code) {
    char text[256] = {};
    midiOutGetErrorText(code, text, sizeof text);
    return std::string(what) + ": " + text;
}

MapItem openItem(uint8_t sourceChannel, uint8_t sourceType, uint8_t targetType) {
    MapItem item{};
    item.sourceChannel = sourceChannel;
    item.sourceMessage = sourceType;
    item.sourceV1Min = item.sourceV1Max = item.sourceV2Min = item.sourceV2Max = 0xFFFF;
    item.targetChannel = 0xFF;
    item.targetMessage = targetType;
    item.targetV1Min = item.targetV1Max = item.targetV2Min = item.targetV2Max = 0xFFFF;
    return item;
}

// 32 items: 31 rules for other channels and kinds that the probe passes by, then the rule
// that moves Note Ons of channel 1 to channel 2, so every probe is tested against the whole
// map and the receiver can tell that the map ran.
std::vector<MapItem> routeMapItems() {
    constexpr uint8_t kKinds[] = {MAP_NOTE_ON,  MAP_NOTE_OFF, MAP_CTRL,   MAP_PITCH_B,
                                  MAP_PROG_CHG, MAP_CHAN_AFT, MAP_KEY_AFT};
    std::vector<MapItem> items;
    for (uint8_t i = 0; i < 31; ++i) {
        const uint8_t kind = kKinds[i % std::size(kKinds)];
        MapItem item = openItem(static_cast<uint8_t>(1 + i % 15), kind, kind);
        item.targetChannel = 0;
        items.push_back(item);
    }
    MapItem toChannel2 = openItem(0, MAP_NOTE_ON, MAP_NOTE_ON);
    toChannel2.targetChannel = 1;
    items.push_back(toChannel2);
    return items;
}

} // namespace

bool findDevices(const std::string& senderPort, const std::string& receiverPort, UINT& input,
                 UINT& output) {
    return findDevice(midiInGetNumDevs(), cvxMidiInGetName, senderPort, input) &&
           findDevice(midiOutGetNumDevs(), cvxMidiOutGetName, receiverPort, output);
}

// ---- Direct connection --------------------------------------------------------------------

std::string DirectConnection::open(jack_client_t* client, const std::string& from,
                                   const std::string& to) {
    if (jack_connect(client, from.c_str(), to.c_str()) != 0) {
        return "cannot connect " + from + " to " + to;
    }
    client_ = client;
    from_ = from;
    to_ = to;
    return {};
}

void DirectConnection::close() {
    if (client_ != nullptr) {
        jack_disconnect(client_, from_.c_str(), to_.c_str());
        client_ = nullptr;
    }
}

// ---- The platform service alone ------------------------------------------------------------

ServiceThru::ServiceThru(size_t messages)
    : messages_(messages), seen_(std::make_unique<std::atomic<jack_time_t>[]>(messages)) {}

std::string ServiceThru::open(UINT input, UINT output) {
    if (MMRESULT r = midiOutOpen(&out_, output, 0, 0, CALLBACK_NULL); r != MMSYSERR_NOERROR) {
        return failure("cannot open the JACK output", r);
    }
    if (MMRESULT r = midiInOpen(&in_, input, reinterpret_cast<DWORD_PTR>(&onInput),
                                reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION);
        r != MMSYSERR_NOERROR) {
        close();
        return failure("cannot open the JACK input", r);
    }
    if (MMRESULT r = midiInStart(in_); r != MMSYSERR_NOERROR) {
        close();
        return failure("cannot start the JACK input", r);
    }
    return {};
}

void ServiceThru::close() {
    if (in_ != nullptr) {
        midiInStop(in_);
        midiInClose(in_);
        in_ = nullptr;
    }
    if (out_ != nullptr) {
        midiOutClose(out_);
        out_ = nullptr;
    }
}

jack_time_t ServiceThru::callbackUs(size_t k) const {
    return k < messages_ ? seen_[k].load(std::memory_order_relaxed) : 0;
}

void ServiceThru::onInput(HMIDIIN, UINT msg, DWORD_PTR instance, DWORD_PTR message, DWORD_PTR) {
    if (msg != MIM_DATA) {
        return;
    }
    auto* self = reinterpret_cast<ServiceThru*>(instance);
    const std::optional<size_t> k =
        decodeProbe(static_cast<uint8_t>(message), static_cast<uint8_t>(message >> 8),
                    static_cast<uint8_t>(message >> 16));
    if (k && *k < self->messages_) {
        self->seen_[*k].store(jack_get_time(), std::memory_order_relaxed);
    }
    midiOutShortMsg(self->out_, static_cast<DWORD>(message));
}

// ---- The engine ------------------------------------------------------------------------------

std::string CorvexRoute::open(UINT input, UINT output) {
    CFilter filter{};
    client_ = m32CreateClient(nullptr, nullptr, &filter);
    if (client_ == 0) {
        return "cannot make an engine client";
    }
    if (uint16_t r = vx16OpenMidiIn(&in_, static_cast<uint16_t>(input), client_);
        r != MMSYSERR_NOERROR) {
        close();
        return failure("the engine cannot open the JACK input", r);
    }
    CPortMap map{};
    map.inputBits[input / 32] = 1u << (input % 32);
    map.inputMasks[input] = 0x7FFFF; // every channel, SysEx, realtime and system common
    if (uint16_t r = vx16OpenMidiOut(&out_, static_cast<uint16_t>(output), 0, &map, client_);
        r != MMSYSERR_NOERROR) {
        close();
        return failure("the engine cannot open the JACK output", r);
    }
    std::vector<MapItem> items = routeMapItems();
    SMapper routeMap{};
    routeMap.itemCount = static_cast<int16_t>(items.size());
    routeMap.items = items.data();
    if (m32SendPDMap(client_, static_cast<int>(input), static_cast<int>(output), routeMap) != 1) {
        close();
        return "the engine refused the route's data map";
    }
    m32StartTimeStamp(client_);
    if (m32StartMidiIn(in_) != MMSYSERR_NOERROR) {
        close();
        return "the engine cannot start the JACK input";
    }
    return {};
}

void CorvexRoute::close() {
    if (client_ == 0) {
        return;
    }
    if (in_ != nullptr) {
        m32CloseMidiIn(in_, client_);
        in_ = nullptr;
    }
    if (out_ != nullptr) {
        m32CloseMidiOut(out_, client_);
        out_ = nullptr;
    }
    drain();
    m32DestroyClient(client_);
    client_ = 0;
}

void CorvexRoute::drain() {
    EVENT event{};
    while (client_ != 0 && m32GetEvent(client_, &event, MON_MAIN)) {
    }
}

} // namespace cvx::bench
