#include "sequencer/sequencer.h"

#include "midi/message_length.h"
#include "platform/service_clock.h"
#include "sequencer/channel_state.h"

#include <algorithm>

namespace corvex {
namespace {

constexpr UINT kTickMs = 1;
// An event goes out on the tick nearest its time: up to half a tick early.
constexpr int64_t kHalfTickUs = 500;

} // namespace

Sequencer::Sequencer(EndNotifier notifier, void* user) : notifier_(notifier), notifierUser_(user) {}

Sequencer::~Sequencer() {
    unload();
    closePort();
}

void Sequencer::load(std::shared_ptr<const smf::PlayList> list) {
    unload();
    list_ = std::move(list);
    wholeFile_ = ChannelState();
    for (const smf::PlayEvent& event : list_->events()) {
        wholeFile_.observe(list_->bytes(event));
    }
    moveTo(0);
}

void Sequencer::unload() {
    stop();
    if (list_ && out_ != nullptr) {
        // What the file set goes back to its defaults: a closed file leaves nothing bent,
        // held or changed behind.
        for (const ShortMessage& message : ChannelState().resetMessages(wholeFile_)) {
            sendShort(message.status, message.data1, message.data2);
        }
    }
    list_.reset();
}

MMRESULT Sequencer::openPort(int device) {
    HMIDIOUT opened = nullptr;
    UINT id = device == kMapper ? MIDI_MAPPER : static_cast<UINT>(device);
    MMRESULT result = midiOutOpen(&opened, id, 0, 0, CALLBACK_NULL);
    if (result != MMSYSERR_NOERROR) {
        return result;
    }
    bool wasPlaying = playing();
    halt();
    closePort();
    out_ = opened;
    device_ = device;
    if (wasPlaying) {
        play();
    }
    return MMSYSERR_NOERROR;
}

void Sequencer::closePort() {
    if (out_ == nullptr) {
        return;
    }
    halt();
    midiOutClose(out_);
    out_ = nullptr;
}

MMRESULT Sequencer::play() {
    if (!list_ || out_ == nullptr) {
        return MMSYSERR_INVALHANDLE;
    }
    if (playing()) {
        return MMSYSERR_NOERROR;
    }
    int64_t position = positionUs_.load();
    chase();
    anchorFileUs_ = position;
    anchorClockNs_ = cvx::platform::clock::nowNs();
    sendDue(position);
    return startTimer();
}

MMRESULT Sequencer::startTimer() {
    running_.store(true, std::memory_order_release);
    timer_ = timeSetEvent(kTickMs, 0, &Sequencer::tickEntry, reinterpret_cast<DWORD_PTR>(this),
                          TIME_PERIODIC | TIME_KILL_SYNCHRONOUS);
    if (timer_ == 0) {
        running_.store(false);
        releaseNotes();
        return TIMERR_NOCANDO;
    }
    return MMSYSERR_NOERROR;
}

void Sequencer::pause() {
    halt();
}

void Sequencer::stop() {
    halt();
    moveTo(0);
}

void Sequencer::moveTo(int64_t positionUs) {
    positionUs_.store(positionUs);
    next_ = list_ ? list_->firstAtOrAfter(positionUs) : 0;
}

void Sequencer::seek(int64_t ms) {
    bool wasPlaying = playing();
    halt();
    int64_t length = list_ ? list_->lengthMicroseconds() : 0;
    moveTo(std::clamp<int64_t>(ms * 1000, 0, length));
    if (wasPlaying) {
        play();
    }
}

void Sequencer::halt() {
    if (timer_ != 0) {
        timeKillEvent(timer_);
        timer_ = 0;
    }
    running_.store(false, std::memory_order_release);
    releaseNotes();
}

void Sequencer::releaseNotes() {
    if (out_ == nullptr) {
        return;
    }
    sounding_.release(
        [this](uint8_t status, uint8_t data1, uint8_t data2) { sendShort(status, data1, data2); });
}

void Sequencer::chase() {
    ChannelState state;
    int64_t position = positionUs_.load();
    for (const smf::PlayEvent& event : list_->events()) {
        if (event.timeMicroseconds >= position) {
            break;
        }
        state.observe(list_->bytes(event));
    }
    for (const auto& messages : {state.resetMessages(wholeFile_), state.chaseMessages()}) {
        for (const ShortMessage& message : messages) {
            sendShort(message.status, message.data1, message.data2);
        }
    }
}

void Sequencer::tickEntry(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    reinterpret_cast<Sequencer*>(user)->tick();
}

void Sequencer::tick() {
    if (!running_.load(std::memory_order_acquire)) {
        return;
    }
    int64_t elapsedUs = (cvx::platform::clock::nowNs() - anchorClockNs_) / 1000;
    int64_t nowUs = anchorFileUs_ + elapsedUs;
    sendDue(nowUs);
    int64_t length = list_->lengthMicroseconds();
    if (next_ < list_->events().size() || nowUs < length) {
        positionUs_.store(std::min(nowUs, length), std::memory_order_relaxed);
        return;
    }
    timeKillEvent(timer_); // from inside its own tick this only stops it
    releaseNotes();
    positionUs_.store(length, std::memory_order_relaxed);
    running_.store(false, std::memory_order_release);
    if (notifier_ != nullptr) {
        notifier_(notifierUser_);
    }
}

void Sequencer::sendDue(int64_t nowUs) {
    const auto& events = list_->events();
    while (next_ < events.size() && events[next_].timeMicroseconds <= nowUs + kHalfTickUs) {
        send(list_->bytes(events[next_]));
        ++next_;
    }
}

void Sequencer::send(std::span<const uint8_t> bytes) {
    if (bytes[0] >= 0x80 && bytes[0] < 0xF0) {
        sounding_.observe(bytes);
        DWORD message = bytes[0] | (bytes.size() > 1 ? bytes[1] << 8 : 0) |
                        (bytes.size() > 2 ? bytes[2] << 16 : 0);
        MMRESULT result = midiOutShortMsg(out_, message);
        if (result != MMSYSERR_NOERROR) {
            result = midiOutShortMsg(out_, message);
        }
        countFailure(result);
        return;
    }
    sysex_ = MIDIHDR{};
    sysex_.lpData = reinterpret_cast<char*>(const_cast<uint8_t*>(bytes.data()));
    sysex_.dwBufferLength = static_cast<DWORD>(bytes.size());
    sysex_.dwBytesRecorded = sysex_.dwBufferLength;
    MMRESULT result = midiOutPrepareHeader(out_, &sysex_, sizeof sysex_);
    if (result == MMSYSERR_NOERROR) {
        result = midiOutLongMsg(out_, &sysex_, sizeof sysex_);
        midiOutUnprepareHeader(out_, &sysex_, sizeof sysex_);
    }
    countFailure(result);
}

void Sequencer::countFailure(MMRESULT result) {
    if (result != MMSYSERR_NOERROR) {
        lastFailure_.store(result, std::memory_order_relaxed);
        failedSends_.fetch_add(1, std::memory_order_relaxed);
    }
}

void Sequencer::sendShort(uint8_t status, uint8_t data1, uint8_t data2) {
    uint8_t bytes[3] = {status, data1, data2};
    send(std::span<const uint8_t>(bytes, 1 + static_cast<size_t>(cvx::midi::dataLength(status))));
}

} // namespace corvex
