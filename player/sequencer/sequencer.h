// Plays a PlayList to one MIDI output of the platform layer on the platform timer.
//
// Timing: while playing, a periodic 1 ms timer runs on the timer thread. Each tick reads the
// service clock and sends every event due by then (an event goes out on the tick nearest its
// time). Times are measured from an anchor (clock and file time) taken when playing starts,
// so a long file does not drift, and a late tick catches up at once.
//
// Nothing hangs: stop, pause, seek and a port change send a Note Off for every note still
// sounding and release the sustain pedal; at the end of the file the same is done. Chase:
// whenever playing starts or continues (from the start, after a pause, a seek, a repeat or
// a port change), what the file sets later than that point is reset first (ChannelState::
// resetMessages), then the state of every channel at that point (bank, program,
// controllers, registered parameters, bend, pressure) is sent.
//
// Every message goes to the port or is counted: a send the port refuses is tried once
// more, and one refused again is counted in failedSends() with its error in lastFailure().
//
// Threads: every member function is for the user-interface thread, except positionMs(),
// which any thread may call. The end notifier runs on the timer thread once when the file
// has played to its end: it must not block or allocate (post to the UI thread). Calls from
// the UI thread stop the timer (waiting for a running tick, which never blocks) before
// they change what the tick reads.
#pragma once

#include "cvx_platform.h"
#include "sequencer/channel_state.h"
#include "sequencer/sounding_notes.h"
#include "smf/play_list.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace corvex {

class Sequencer {
public:
    using EndNotifier = void (*)(void* user);
    static constexpr int kMapper = -1;

    Sequencer(EndNotifier notifier, void* user);
    ~Sequencer();
    Sequencer(const Sequencer&) = delete;
    Sequencer& operator=(const Sequencer&) = delete;

    // Unloads any list and takes this one; the position is the start.
    void load(std::shared_ptr<const smf::PlayList> list);
    // Stops, resets what the list set on the port (as before playing from the start), and
    // forgets the list.
    void unload();
    bool loaded() const { return list_ != nullptr; }

    // Opens output `device` (an index, or kMapper). While playing, playing goes on there
    // from the same point. On failure the previous port stays in use and the platform's
    // error code is returned.
    MMRESULT openPort(int device);
    void closePort();
    int port() const { return device_; }
    bool portOpen() const { return out_ != nullptr; }

    // Plays from the current position; at the end of the file that ends at once (the
    // notifier runs on the first tick). Fails with
    // MMSYSERR_INVALHANDLE without a port or a list, TIMERR_NOCANDO without a timer.
    MMRESULT play();
    // Stops where it is.
    void pause();
    // Stops and goes back to the start.
    void stop();
    // Moves to `ms` (within 0 and the length); playing goes on from there when playing.
    void seek(int64_t ms);

    bool playing() const { return running_.load(std::memory_order_acquire); }
    int64_t positionMs() const { return positionUs_.load(std::memory_order_relaxed) / 1000; }
    int64_t lengthMs() const { return list_ ? list_->lengthMilliseconds() : 0; }
    // Any thread: messages the port refused since the sequencer was made, and the last
    // refusal's error code.
    uint64_t failedSends() const { return failedSends_.load(std::memory_order_relaxed); }
    MMRESULT lastFailure() const { return lastFailure_.load(std::memory_order_relaxed); }

private:
    static void tickEntry(UINT id, UINT msg, DWORD_PTR user, DWORD_PTR, DWORD_PTR);
    void tick();
    void sendDue(int64_t nowUs);
    void send(std::span<const uint8_t> bytes);
    void sendShort(uint8_t status, uint8_t data1, uint8_t data2);
    void halt();
    void moveTo(int64_t positionUs);
    void releaseNotes();
    void chase();
    void countFailure(MMRESULT result);
    MMRESULT startTimer();

    EndNotifier notifier_;
    void* notifierUser_;
    std::shared_ptr<const smf::PlayList> list_;
    HMIDIOUT out_ = nullptr;
    int device_ = kMapper;
    UINT timer_ = 0;
    std::atomic<bool> running_{false};
    std::atomic<int64_t> positionUs_{0};
    std::atomic<uint64_t> failedSends_{0};
    std::atomic<MMRESULT> lastFailure_{MMSYSERR_NOERROR};
    ChannelState wholeFile_; // the state after all of the list, made when it is loaded

    // Read and written by the tick while playing, by the UI thread otherwise.
    size_t next_ = 0;
    int64_t anchorFileUs_ = 0;
    int64_t anchorClockNs_ = 0;
    SoundingNotes sounding_;
    MIDIHDR sysex_{};
};

} // namespace corvex
