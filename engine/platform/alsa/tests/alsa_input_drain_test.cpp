#include "platform/alsa/alsa_input_drain.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

namespace cvx::platform {
namespace {

constexpr int kEvent = 1; // a read that yields an event (its note tells the reads apart)

// Stands for snd_seq_event_input(): answers the scripted results in turn, then EAGAIN.
class ScriptedInput {
public:
    explicit ScriptedInput(std::vector<int> results) : results_(std::move(results)) {}

    int operator()(snd_seq_event_t** event) {
        if (next_ >= results_.size()) {
            return -EAGAIN;
        }
        const int result = results_[next_++];
        if (result >= 0) {
            snd_seq_ev_clear(&event_);
            event_.data.note.note = static_cast<unsigned char>(next_);
            *event = &event_;
        }
        return result;
    }

private:
    std::vector<int> results_;
    size_t next_ = 0;
    snd_seq_event_t event_{};
};

struct Drained {
    std::vector<int> notes;
    int overruns = 0;
    int reads = 0;
};

Drained drain(std::vector<int> results, int limit = 100) {
    ScriptedInput input(std::move(results));
    Drained drained;
    drained.reads = drainAlsaInput(
        limit, input,
        [&](const snd_seq_event_t& event) { drained.notes.push_back(event.data.note.note); },
        [&] { ++drained.overruns; });
    return drained;
}

TEST(AlsaInputDrain, ReadsUntilNothingIsLeftAndCountsEachPoolOverrunOnTheWay) {
    const Drained drained = drain({kEvent, kEvent, -ENOSPC, kEvent, -ENOSPC});
    EXPECT_EQ(drained.notes, (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(drained.overruns, 2);
    EXPECT_EQ(drained.reads, 6) << "the last read met EAGAIN";
}

TEST(AlsaInputDrain, AnotherErrorEndsTheDrainAndALimitHoldsAFloodBack) {
    const Drained broken = drain({kEvent, -EINVAL, kEvent});
    EXPECT_EQ(broken.notes, (std::vector<int>{1}));
    EXPECT_EQ(broken.reads, 2);

    const Drained flood = drain(std::vector<int>(50, kEvent), 10);
    EXPECT_EQ(flood.notes.size(), 10u);
    EXPECT_EQ(flood.reads, 10);
}

} // namespace
} // namespace cvx::platform
