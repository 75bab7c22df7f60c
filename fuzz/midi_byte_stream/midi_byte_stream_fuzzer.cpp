// Arbitrary bytes on a loopback cable's input with SysEx buffers of arbitrary sizes queued.
// Checks: every short message the input delivers is well-formed and is exactly what a fresh
// parser makes of the same bytes, in the same order (realtime bytes keep their place); no
// SysEx buffer is filled past its length and every buffer comes back.
#include "engine_fuzz_support.h"
#include "platform/midi_byte_parser.h"
#include "vmidi.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

namespace {

using cvx::platform::MidiByteParser;

struct Delivered {
    std::mutex lock;
    std::vector<uint32_t> shortMessages; // MIM_DATA and MIM_ERROR, errors marked in bit 31
    std::vector<MIDIHDR*> returned;
};

Delivered delivered;

void onInput(HMIDIIN, UINT msg, DWORD_PTR, DWORD_PTR param1, DWORD_PTR) {
    std::lock_guard<std::mutex> guard(delivered.lock);
    if (msg == MIM_DATA) {
        delivered.shortMessages.push_back(static_cast<uint32_t>(param1));
    } else if (msg == MIM_ERROR) {
        delivered.shortMessages.push_back(static_cast<uint32_t>(param1) | 0x80000000u);
    } else if (msg == MIM_LONGDATA || msg == MIM_LONGERROR) {
        delivered.returned.push_back(reinterpret_cast<MIDIHDR*>(param1));
    }
}

HMIDIIN openInput() {
    cvx::fuzz::useLoopbackCablesOnly();
    HMIDIIN in = nullptr;
    if (midiInOpen(&in, 0, reinterpret_cast<DWORD_PTR>(&onInput), 0, CALLBACK_FUNCTION) !=
            MMSYSERR_NOERROR ||
        midiInStart(in) != MMSYSERR_NOERROR) {
        abort();
    }
    return in;
}

// What the parser makes of the bytes: the short messages and errors, in order.
std::vector<uint32_t> expectedMessages(const std::vector<uint8_t>& bytes) {
    MidiByteParser parser;
    std::vector<uint32_t> messages;
    MidiByteParser::Action actions[MidiByteParser::kMaxActions];
    for (uint8_t byte : bytes) {
        const int count = parser.feed(byte, 0, actions);
        for (int i = 0; i < count; ++i) {
            if (actions[i].kind == MidiByteParser::Kind::Short) {
                messages.push_back(actions[i].message);
            } else if (actions[i].kind == MidiByteParser::Kind::Error) {
                messages.push_back(actions[i].message | 0x80000000u);
            }
        }
    }
    return messages;
}

void checkShortMessage(uint32_t message) {
    if ((message & 0x80000000u) != 0) {
        return;
    }
    const uint8_t status = message & 0xFF;
    const int count = cvx::fuzz::dataBytesOf(status);
    const uint8_t data1 = (message >> 8) & 0xFF;
    const uint8_t data2 = (message >> 16) & 0xFF;
    if (count < 0 || status == 0xF0 || status == 0xF7 || (count >= 1 && data1 >= 0x80) ||
        (count == 2 && data2 >= 0x80) || (count < 1 && data1 != 0) || (count < 2 && data2 != 0)) {
        abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static HMIDIIN in = openInput();
    FuzzedDataProvider provider(data, size);

    // Buffers with a guard zone after each block, so a write past the length shows.
    constexpr size_t kGuard = 16;
    const size_t bufferCount = provider.ConsumeIntegralInRange<size_t>(0, 4);
    std::vector<std::unique_ptr<char[]>> blocks;
    std::vector<std::unique_ptr<MIDIHDR>> headers;
    for (size_t i = 0; i < bufferCount; ++i) {
        const DWORD length = provider.ConsumeIntegralInRange<DWORD>(1, 300);
        blocks.push_back(std::make_unique<char[]>(length + kGuard));
        std::fill_n(blocks.back().get(), length + kGuard, static_cast<char>(0xA5));
        headers.push_back(std::make_unique<MIDIHDR>());
        MIDIHDR* header = headers.back().get();
        header->lpData = blocks.back().get();
        header->dwBufferLength = length;
        midiInPrepareHeader(in, header, sizeof(MIDIHDR));
        midiInAddBuffer(in, header, sizeof(MIDIHDR));
    }

    // Each run starts from a clean wire: Tune Request ends SysEx and running status.
    std::vector<uint8_t> bytes{0xF6};
    const std::vector<uint8_t> rest = provider.ConsumeRemainingBytes<uint8_t>();
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    {
        std::lock_guard<std::mutex> guard(delivered.lock);
        delivered.shortMessages.clear();
        delivered.returned.clear();
    }
    midiInStart(in); // the reset at the end of the previous run stopped the input
    vmidiFeed(0, bytes.data(), static_cast<unsigned>(bytes.size()));
    vmidiSettle();
    midiInReset(in); // hands back every buffer still queued

    std::lock_guard<std::mutex> guard(delivered.lock);
    if (delivered.shortMessages != expectedMessages(bytes)) {
        abort();
    }
    for (uint32_t message : delivered.shortMessages) {
        checkShortMessage(message);
    }
    if (delivered.returned.size() != headers.size()) {
        abort();
    }
    for (size_t i = 0; i < headers.size(); ++i) {
        const MIDIHDR* header = headers[i].get();
        if (header->dwBytesRecorded > header->dwBufferLength) {
            abort();
        }
        for (size_t g = 0; g < kGuard; ++g) {
            if (blocks[i][header->dwBufferLength + g] != static_cast<char>(0xA5)) {
                abort();
            }
        }
        midiInUnprepareHeader(in, headers[i].get(), sizeof(MIDIHDR));
    }
    return 0;
}
