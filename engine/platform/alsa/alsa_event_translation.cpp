#include "alsa_event_translation.h"

#include "midi/message_length.h"

#include <algorithm>

namespace cvx::platform {
namespace {

constexpr int kPitchBendCentre = 8192;
constexpr int kMax14Bit = 16383;
constexpr uint8_t kNrpnMsb = 99;
constexpr uint8_t kNrpnLsb = 98;
constexpr uint8_t kRpnMsb = 101;
constexpr uint8_t kRpnLsb = 100;
constexpr uint8_t kDataEntryMsb = 6;
constexpr uint8_t kDataEntryLsb = 38;
constexpr unsigned kLsbControllerOffset = 32;

uint8_t low7(int value) {
    return static_cast<uint8_t>(value & 0x7F);
}
uint8_t high7(int value) {
    return static_cast<uint8_t>((value >> 7) & 0x7F);
}

class WireWriter {
public:
    explicit WireWriter(AlsaWireScratch& scratch) : scratch_(scratch) {}

    WireWriter& put(uint8_t byte) {
        scratch_[length_++] = byte;
        return *this;
    }
    WireWriter& controller(uint8_t status, unsigned number, int value) {
        return put(status).put(low7(static_cast<int>(number))).put(low7(value));
    }
    std::span<const uint8_t> bytes() const { return {scratch_.data(), length_}; }

private:
    AlsaWireScratch& scratch_;
    size_t length_ = 0;
};

uint8_t channelStatus(uint8_t kind, unsigned channel) {
    return static_cast<uint8_t>(kind | (channel & 0x0F));
}

// A 14-bit parameter number and value as four controllers: number MSB, number LSB, data
// entry MSB, data entry LSB.
std::span<const uint8_t> parameterToWire(const snd_seq_ev_ctrl_t& control, uint8_t msbNumber,
                                         uint8_t lsbNumber, WireWriter& out) {
    const uint8_t status = channelStatus(0xB0, control.channel);
    const int number = static_cast<int>(control.param);
    out.controller(status, msbNumber, high7(number)).controller(status, lsbNumber, low7(number));
    out.controller(status, kDataEntryMsb, high7(control.value));
    return out.controller(status, kDataEntryLsb, low7(control.value)).bytes();
}

std::span<const uint8_t> control14ToWire(const snd_seq_ev_ctrl_t& control, WireWriter& out) {
    const uint8_t status = channelStatus(0xB0, control.channel);
    if (control.param >= kLsbControllerOffset) {
        return out.controller(status, control.param, control.value).bytes();
    }
    out.controller(status, control.param, high7(control.value));
    return out.controller(status, control.param + kLsbControllerOffset, control.value).bytes();
}

std::span<const uint8_t> channelEventToWire(const snd_seq_event_t& event, WireWriter& out) {
    const snd_seq_ev_note_t& note = event.data.note;
    const snd_seq_ev_ctrl_t& control = event.data.control;
    switch (event.type) {
    case SND_SEQ_EVENT_NOTEOFF:
        return out.put(channelStatus(0x80, note.channel))
            .put(low7(note.note))
            .put(low7(note.velocity))
            .bytes();
    case SND_SEQ_EVENT_NOTEON:
        return out.put(channelStatus(0x90, note.channel))
            .put(low7(note.note))
            .put(low7(note.velocity))
            .bytes();
    case SND_SEQ_EVENT_KEYPRESS:
        return out.put(channelStatus(0xA0, note.channel))
            .put(low7(note.note))
            .put(low7(note.velocity))
            .bytes();
    case SND_SEQ_EVENT_CONTROLLER:
        return out.controller(channelStatus(0xB0, control.channel), control.param, control.value)
            .bytes();
    case SND_SEQ_EVENT_PGMCHANGE:
        return out.put(channelStatus(0xC0, control.channel)).put(low7(control.value)).bytes();
    case SND_SEQ_EVENT_CHANPRESS:
        return out.put(channelStatus(0xD0, control.channel)).put(low7(control.value)).bytes();
    case SND_SEQ_EVENT_PITCHBEND: {
        const int bend = std::clamp(control.value + kPitchBendCentre, 0, kMax14Bit);
        return out.put(channelStatus(0xE0, control.channel))
            .put(low7(bend))
            .put(high7(bend))
            .bytes();
    }
    case SND_SEQ_EVENT_CONTROL14:
        return control14ToWire(control, out);
    case SND_SEQ_EVENT_NONREGPARAM:
        return parameterToWire(control, kNrpnMsb, kNrpnLsb, out);
    case SND_SEQ_EVENT_REGPARAM:
        return parameterToWire(control, kRpnMsb, kRpnLsb, out);
    default:
        return {};
    }
}

std::span<const uint8_t> systemEventToWire(const snd_seq_event_t& event, WireWriter& out) {
    const int value = event.data.control.value;
    switch (event.type) {
    case SND_SEQ_EVENT_QFRAME:
        return out.put(0xF1).put(low7(value)).bytes();
    case SND_SEQ_EVENT_SONGPOS:
        return out.put(0xF2).put(low7(value)).put(high7(value)).bytes();
    case SND_SEQ_EVENT_SONGSEL:
        return out.put(0xF3).put(low7(value)).bytes();
    case SND_SEQ_EVENT_TUNE_REQUEST:
        return out.put(0xF6).bytes();
    case SND_SEQ_EVENT_CLOCK:
        return out.put(0xF8).bytes();
    case SND_SEQ_EVENT_TICK:
        return out.put(0xF9).bytes();
    case SND_SEQ_EVENT_START:
        return out.put(0xFA).bytes();
    case SND_SEQ_EVENT_CONTINUE:
        return out.put(0xFB).bytes();
    case SND_SEQ_EVENT_STOP:
        return out.put(0xFC).bytes();
    case SND_SEQ_EVENT_SENSING:
        return out.put(0xFE).bytes();
    case SND_SEQ_EVENT_RESET:
        return out.put(0xFF).bytes();
    default:
        return {};
    }
}

bool systemMessageToEvent(std::span<const uint8_t> message, snd_seq_event_t& event) {
    const int data1 = message.size() > 1 ? message[1] & 0x7F : 0;
    const int data2 = message.size() > 2 ? message[2] & 0x7F : 0;
    event.data.control.value = data1;
    switch (message[0]) {
    case 0xF1:
        event.type = SND_SEQ_EVENT_QFRAME;
        return true;
    case 0xF2:
        event.type = SND_SEQ_EVENT_SONGPOS;
        event.data.control.value = data1 | (data2 << 7);
        return true;
    case 0xF3:
        event.type = SND_SEQ_EVENT_SONGSEL;
        return true;
    case 0xF6:
        event.type = SND_SEQ_EVENT_TUNE_REQUEST;
        return true;
    case 0xF8:
        event.type = SND_SEQ_EVENT_CLOCK;
        return true;
    case 0xF9:
        event.type = SND_SEQ_EVENT_TICK;
        return true;
    case 0xFA:
        event.type = SND_SEQ_EVENT_START;
        return true;
    case 0xFB:
        event.type = SND_SEQ_EVENT_CONTINUE;
        return true;
    case 0xFC:
        event.type = SND_SEQ_EVENT_STOP;
        return true;
    case 0xFE:
        event.type = SND_SEQ_EVENT_SENSING;
        return true;
    case 0xFF:
        event.type = SND_SEQ_EVENT_RESET;
        return true;
    default:
        return false;
    }
}

void channelMessageToEvent(std::span<const uint8_t> message, snd_seq_event_t& event) {
    const uint8_t channel = message[0] & 0x0F;
    const uint8_t data1 = message[1] & 0x7F;
    const uint8_t data2 = message.size() > 2 ? message[2] & 0x7F : 0;
    switch (message[0] & 0xF0) {
    case 0x80:
        snd_seq_ev_set_noteoff(&event, channel, data1, data2);
        break;
    case 0x90:
        snd_seq_ev_set_noteon(&event, channel, data1, data2);
        break;
    case 0xA0:
        snd_seq_ev_set_keypress(&event, channel, data1, data2);
        break;
    case 0xB0:
        snd_seq_ev_set_controller(&event, channel, data1, data2);
        break;
    case 0xC0:
        snd_seq_ev_set_pgmchange(&event, channel, data1);
        break;
    case 0xD0:
        snd_seq_ev_set_chanpress(&event, channel, data1);
        break;
    default:
        snd_seq_ev_set_pitchbend(&event, channel, (data1 | (data2 << 7)) - kPitchBendCentre);
        break;
    }
}

} // namespace

std::span<const uint8_t> alsaEventToWire(const snd_seq_event_t& event, AlsaWireScratch& scratch) {
    if (event.type == SND_SEQ_EVENT_SYSEX) {
        return {static_cast<const uint8_t*>(event.data.ext.ptr), event.data.ext.len};
    }
    WireWriter out(scratch);
    const std::span<const uint8_t> channelBytes = channelEventToWire(event, out);
    return channelBytes.empty() ? systemEventToWire(event, out) : channelBytes;
}

size_t shortMessageLength(uint8_t status) {
    // SysEx, its end and the undefined F4, F5 and FD start no short message.
    if (status < 0x80 || status == 0xF0 || status == 0xF4 || status == 0xF5 || status == 0xF7 ||
        status == 0xFD) {
        return 0;
    }
    return 1 + static_cast<size_t>(midi::dataLength(status));
}

bool wireToAlsaEvent(std::span<const uint8_t> message, snd_seq_event_t& event) {
    snd_seq_ev_clear(&event);
    if (message.empty() || message.size() != shortMessageLength(message[0])) {
        return false;
    }
    snd_seq_ev_set_fixed(&event);
    if (message[0] >= 0xF0) {
        return systemMessageToEvent(message, event);
    }
    channelMessageToEvent(message, event);
    return true;
}

void sysExToAlsaEvent(std::span<const uint8_t> bytes, snd_seq_event_t& event) {
    snd_seq_ev_clear(&event);
    snd_seq_ev_set_sysex(&event, static_cast<unsigned>(bytes.size()),
                         const_cast<uint8_t*>(bytes.data()));
}

std::vector<std::span<const uint8_t>> splitIntoChunks(std::span<const uint8_t> bytes,
                                                      size_t maxChunk) {
    std::vector<std::span<const uint8_t>> chunks;
    for (size_t offset = 0; offset < bytes.size(); offset += maxChunk) {
        chunks.push_back(bytes.subspan(offset, std::min(maxChunk, bytes.size() - offset)));
    }
    return chunks;
}

} // namespace cvx::platform
