// Nothing is left sounding on a JACK synthesizer when tunelet ends on SIGTERM mid-note,
// when a later start hands it another file mid-note, or when it goes back to the start
// after a bend; and SIGTERM ends the player while an error box shows.
#include "jack_player_fixture.h"

namespace corvex::test {
namespace {

using namespace smf::test;

// One tick is one millisecond: a held note with the pedal down, bent at 300 ms.
Bytes heldBentNote(uint8_t key, uint32_t noteAtMs) {
    return file({header(0, 1, 1000),
                 track({tempo(0, 1000000), event(0, {0xC0, 5}), event(noteAtMs, {0xB0, 64, 127}),
                        event(0, {0x90, key, 100}), event(300 - noteAtMs, {0xE0, 0, 0x70}),
                        event(20000, {0x80, key, 0}), endOfTrack()})});
}

const Message kBend = {0xE0, 0, 0x70};
// The first message of each play of heldBentNote() after the reset before it.
const Message kProgram = {0xC0, 5};

size_t secondPlay(const std::vector<Message>& messages) {
    return JackPlayerTest::indexOf(messages, kProgram,
                                   JackPlayerTest::indexOf(messages, kProgram) + 1);
}

TEST_F(JackPlayerTest, SigtermMidNoteLeavesTheSynthesizerSilent) {
    storeSettings(false);
    QProcess& tunelet =
        startTunelet({"-play", QString::fromStdString(writeSong("a.mid", heldBentNote(70, 0)))});
    waitFor([](const auto& messages) { return indexOf(messages, kBend) < messages.size(); });
    tunelet.terminate();
    ASSERT_TRUE(tunelet.waitForFinished(20000));
    EXPECT_EQ(tunelet.exitCode(), 0);
    std::vector<Message> messages = messagesOf(peer_->received());
    ASSERT_LT(indexOf(messages, kBend), messages.size());
    EXPECT_TRUE(stateAfter(messages, messages.size()).silent())
        << stateAfter(messages, messages.size()).describe();
}

TEST_F(JackPlayerTest, AFileHandedOverMidNoteEndsTheFirstOnesNotesFirst) {
    storeSettings(true);
    QProcess& first =
        startTunelet({"-play", QString::fromStdString(writeSong("a.mid", heldBentNote(70, 0)))});
    waitFor([](const auto& messages) { return indexOf(messages, kBend) < messages.size(); });
    QProcess& second =
        startTunelet({"-play", QString::fromStdString(writeSong("b.mid", heldBentNote(72, 0)))});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 0);
    const Message secondNote = {0x90, 72, 100};
    std::vector<Message> messages = waitFor(
        [&](const auto& received) { return indexOf(received, secondNote) < received.size(); });
    ASSERT_LT(indexOf(messages, secondNote), messages.size()) << "the handed file did not play";
    const size_t at = secondPlay(messages);
    EXPECT_TRUE(stateAfter(messages, at).silent()) << stateAfter(messages, at).describe();
    first.terminate();
    ASSERT_TRUE(first.waitForFinished(20000));
    messages = messagesOf(peer_->received());
    EXPECT_TRUE(stateAfter(messages, messages.size()).silent())
        << stateAfter(messages, messages.size()).describe();
}

// The player's own logic in this process, on the JACK port: going back to the start after
// the bend and the pedal leaves neither in force when the note starts again.
TEST_F(JackPlayerTest, GoingBackToTheStartAfterABendCentresItAndLiftsThePedal) {
    std::unique_ptr<PlayerController> player = controllerOnPeer();
    ASSERT_NE(player, nullptr);
    PlayerController& controller = *player;
    ASSERT_TRUE(controller.openFile(writeSong("c.mid", heldBentNote(60, 100))));
    controller.play();
    waitFor([](const auto& messages) { return indexOf(messages, kBend) < messages.size(); });
    controller.toStart();
    std::vector<Message> messages =
        waitFor([&](const auto& received) { return secondPlay(received) < received.size(); });
    controller.closeFile();
    const size_t again = secondPlay(messages);
    ASSERT_LT(again, messages.size()) << "the file did not play again";
    EXPECT_TRUE(stateAfter(messages, again).silent()) << stateAfter(messages, again).describe();
    EXPECT_EQ(controller.sequencer().failedSends(), 0u);
}

// A file that cannot be read shows its error box while the player goes on listening for
// signals: SIGTERM ends it at once, cleanly.
TEST(TuneletSignals, SigtermEndsThePlayerWhileAnErrorBoxShows) {
    ensureCoreApplication();
    QProcess tunelet;
    tunelet.setProcessChannelMode(QProcess::ForwardedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("CORVEX_MIDI", "virtual");
    tunelet.setProcessEnvironment(environment);
    tunelet.start(TUNELET_PROGRAM,
                  {"-play", QString::fromStdString(writeSong("bad.mid", {'n', 'o', 'p', 'e'}))});
    ASSERT_TRUE(tunelet.waitForStarted(10000));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    tunelet.terminate();
    const bool ended = tunelet.waitForFinished(10000);
    if (!ended) {
        tunelet.kill();
        tunelet.waitForFinished(5000);
    }
    ASSERT_TRUE(ended) << "SIGTERM did not end the player";
    EXPECT_EQ(tunelet.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tunelet.exitCode(), 0);
}

} // namespace
} // namespace corvex::test
