// Every message tunelet plays reaches a JACK receiver, in order, every time: format-1 songs
// of 7 to 12 tracks at a fast tempo (running status, meta events between the messages, a
// SysEx at the start, drums on channel 10) and a burst of 500 messages at time 0, each
// played 20 times, the port closed and opened again between plays; and the burst played by
// 20 starts of the program.
#include "jack_player_fixture.h"

#include <algorithm>
#include <random>

namespace corvex::test {
namespace {

using namespace smf::test;

constexpr int kPlays = 20;

// One track being written: absolute ticks in, delta times and running status out; the
// messages it holds in playing order beside.
struct TrackWriter {
    size_t number = 0;
    Bytes body;
    uint32_t lastTick = 0;
    uint8_t runningStatus = 0;

    void delta(uint32_t tick) {
        append(body, varLen(tick - lastTick));
        lastTick = tick;
    }
    void message(uint32_t tick, const Message& m) {
        delta(tick);
        if (m[0] != runningStatus) {
            body.push_back(m[0]);
        }
        runningStatus = m[0];
        body.insert(body.end(), m.begin() + 1, m.end());
    }
    void meta(uint32_t tick, Bytes bytes) {
        delta(tick);
        append(body, bytes);
        runningStatus = 0;
    }
};

struct TimedMessage {
    uint32_t tick;
    size_t track;
    size_t order;
    Message bytes;
};

struct Song {
    Bytes bytes;
    std::vector<Message> expected; // in the order the player sends them
};

// Merges what the tracks hold: by time, then by track, then in file order.
Song finish(std::vector<TrackWriter>& tracks, std::vector<TimedMessage> timed, uint32_t endTick) {
    Bytes out = header(1, uint16_t(tracks.size()), 480);
    for (TrackWriter& track : tracks) {
        track.meta(std::max(endTick, track.lastTick), {0xFF, 0x2F, 0x00});
        append(out, chunk("MTrk", track.body));
    }
    std::stable_sort(timed.begin(), timed.end(), [](const TimedMessage& a, const TimedMessage& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.track < b.track;
    });
    Song song{out, {}};
    for (TimedMessage& m : timed) {
        song.expected.push_back(std::move(m.bytes));
    }
    return song;
}

// A song of `trackCount` tracks (the first for tempo, SysEx and text) at 240 beats a minute,
// half a second long: notes every 32nd on each channel, controllers and bends between.
Song realisticSong(size_t trackCount, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<TrackWriter> tracks(trackCount);
    std::vector<TimedMessage> timed;
    size_t order = 0;
    auto add = [&](size_t track, uint32_t tick, Message m) {
        tracks[track].message(tick, m);
        timed.push_back({tick, track, order++, std::move(m)});
    };
    tracks[0].meta(0, {0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90}); // 250,000 us a quarter
    tracks[0].meta(0, {0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08});
    tracks[0].delta(0);
    append(tracks[0].body, {0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7}); // GM on
    tracks[0].runningStatus = 0;
    timed.push_back({0, 0, order++, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}});
    for (size_t track = 1; track < trackCount; ++track) {
        tracks[track].number = track;
        const auto channel = uint8_t(track == trackCount - 1 ? 9 : track - 1);
        const auto cc = uint8_t(0xB0 | channel);
        for (Message m :
             {Message{cc, 0, 0}, Message{cc, 32, 0},
              Message{uint8_t(0xC0 | channel), uint8_t(random() % 128)},
              Message{cc, 7, uint8_t(80 + random() % 40)}, Message{cc, 10, uint8_t(random() % 128)},
              Message{cc, 91, 40}, Message{uint8_t(0xE0 | channel), 0, 0x40}}) {
            add(track, 0, m);
        }
        tracks[track].meta(0, {0xFF, 0x03, 0x04, 'P', 'a', 'r', 't'});
        for (uint32_t tick = 0; tick < 960; tick += 60) {
            const auto key = uint8_t(channel == 9 ? 35 + random() % 20 : 48 + random() % 24);
            add(track, tick, {uint8_t(0x90 | channel), key, uint8_t(60 + random() % 60)});
            if (tick % 120 == 0) {
                add(track, tick + 10, {cc, 11, uint8_t(random() % 128)});
            }
            if (channel != 9 && tick % 180 == 0) {
                add(track, tick + 20,
                    {uint8_t(0xE0 | channel), uint8_t(random() % 128), uint8_t(random() % 128)});
            }
            if (tick % 240 == 0) {
                tracks[track].meta(tick + 25, {0xFF, 0x06, 0x01, 'x'});
            }
            // Note Offs both ways: 0x80 and a Note On of velocity 0.
            Message off = random() % 2 == 0 ? Message{uint8_t(0x80 | channel), key, 0}
                                            : Message{uint8_t(0x90 | channel), key, 0};
            add(track, tick + 40, off);
        }
    }
    return finish(tracks, std::move(timed), 960);
}

// 500 messages at time 0 on all 16 channels, then one note.
Song burstSong() {
    std::vector<TrackWriter> tracks(2);
    std::vector<TimedMessage> timed;
    size_t order = 0;
    tracks[0].meta(0, {0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90});
    for (int index = 0; index < 500; ++index) {
        const auto channel = uint8_t(index % 16);
        Message m;
        switch (index / 16 % 4) {
        case 0:
            m = {uint8_t(0xC0 | channel), uint8_t(index % 128)};
            break;
        case 1:
            m = {uint8_t(0xE0 | channel), uint8_t(index % 128), 0x40};
            break;
        default:
            m = {uint8_t(0xB0 | channel), uint8_t(index % 100 + 1), uint8_t(index % 128)};
            break;
        }
        tracks[1].message(0, m);
        timed.push_back({0, 1, order++, m});
    }
    for (Message m : {Message{0x90, 60, 100}, Message{0x80, 60, 0}}) {
        const uint32_t tick = m[0] == 0x90 ? 0 : 100;
        tracks[1].message(tick, m);
        timed.push_back({tick, 1, order++, m});
    }
    return finish(tracks, std::move(timed), 200);
}

bool contains(const std::vector<Message>& messages, const std::vector<Message>& run) {
    return std::search(messages.begin(), messages.end(), run.begin(), run.end()) != messages.end();
}

TEST_F(JackPlayerTest, EveryMessageOfEveryPlayArrivesInOrder) {
    std::unique_ptr<PlayerController> player = controllerOnPeer();
    ASSERT_NE(player, nullptr);
    PlayerController& controller = *player;

    std::vector<Song> songs = {realisticSong(7, 1), realisticSong(9, 2), realisticSong(12, 3),
                               burstSong()};
    size_t seen = 0;
    for (size_t number = 0; number < songs.size(); ++number) {
        const Song& song = songs[number];
        const std::string path = writeSong("song" + std::to_string(number) + ".mid", song.bytes);
        std::vector<Message> first;
        for (int play = 0; play < kPlays; ++play) {
            ASSERT_TRUE(controller.openFile(path)); // the port opens again each time
            controller.play();
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (controller.sequencer().playing() &&
                   std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            controller.closeFile(); // delivers everything before it returns
            std::vector<Message> all = messagesOf(peer_->received());
            std::vector<Message> thisPlay(all.begin() + long(seen), all.end());
            seen = all.size();
            if (play == 0) {
                ASSERT_TRUE(contains(thisPlay, song.expected))
                    << "song " << number << ": " << thisPlay.size() << " messages arrived for "
                    << song.expected.size() << " in the file";
                first = thisPlay;
            } else {
                ASSERT_EQ(thisPlay, first) << "song " << number << ", play " << play;
            }
        }
    }
    EXPECT_EQ(controller.sequencer().failedSends(), 0u);
    EXPECT_EQ(peer_->dropped(), 0u);
}

// The program itself, started afresh for each play: the burst at time 0 goes out only once
// its port is open and connected, so none of it is sent into the void.
TEST_F(JackPlayerTest, EveryStartOfTheProgramDeliversTheOpeningBurstWhole) {
    storeSettings(false);
    const Song song = burstSong();
    const QString path = QString::fromStdString(writeSong("burst.mid", song.bytes));
    size_t seen = 0;
    std::vector<Message> first;
    for (int play = 0; play < kPlays; ++play) {
        QProcess& tunelet = startTunelet({"-play", path});
        std::vector<Message> all = waitFor([&](const std::vector<Message>& received) {
            return contains({received.begin() + long(seen), received.end()}, song.expected);
        });
        tunelet.terminate();
        ASSERT_TRUE(tunelet.waitForFinished(20000));
        all = messagesOf(peer_->received());
        std::vector<Message> thisPlay(all.begin() + long(seen), all.end());
        seen = all.size();
        ASSERT_TRUE(contains(thisPlay, song.expected))
            << "play " << play << ": " << thisPlay.size() << " messages arrived";
        if (play == 0) {
            first = thisPlay;
        } else {
            ASSERT_EQ(thisPlay, first) << "play " << play;
        }
    }
    EXPECT_EQ(peer_->dropped(), 0u);
}

} // namespace
} // namespace corvex::test
