#include "views/line_colour.h"
#include "views/monitor_model.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>

namespace corvex {
namespace {

EVENT noteOn(uint32_t timestamp, uint8_t note = 60, uint8_t velocity = 100) {
    EVENT e{};
    e.timestamp = timestamp;
    e.message = 0x90u | note << 8 | static_cast<uint32_t>(velocity) << 16;
    return e;
}

EVENT sysexPiece(uint16_t slot, uint8_t count) {
    EVENT e{};
    e.timestamp = slot;
    e.message = count << 8 | static_cast<uint32_t>(CVX_ORIGIN_CHUNK) << 24;
    return e;
}

class FakeFeed : public MonitorFeed {
public:
    bool nextEvent(EVENT& out) override {
        if (events.empty()) {
            return false;
        }
        out = events.front();
        events.pop_front();
        return true;
    }
    SysExBytesLine sysexPiece(uint16_t slot, size_t count) override {
        SysExBytesLine line;
        line.count = static_cast<uint8_t>(count);
        std::copy_n(pieces[slot].begin(), count, line.bytes.begin());
        return line;
    }

    std::deque<EVENT> events;
    std::map<uint16_t, std::array<uint8_t, 18>> pieces;
};

class MonitorModelTest : public ::testing::Test {
protected:
    EventText text;
    MonitorModel model{text};
    FakeFeed feed;

    void feedNotes(uint32_t count, uint32_t firstTimestamp = 0) {
        for (uint32_t i = 0; i < count; ++i) {
            feed.events.push_back(noteOn(firstTimestamp + i));
        }
    }
};

TEST_F(MonitorModelTest, KeepsTheNewestLinesAndCopiesThemAll) {
    feedNotes(3500);
    EXPECT_EQ(model.drain(feed), 3500u);
    ASSERT_EQ(model.lineCount(), MonitorRing::capacity);
    EXPECT_EQ(model.lineText(0), text.line(noteOn(500), NumberStyle::Hex));
    EXPECT_EQ(model.lineText(2999), text.line(noteOn(3499), NumberStyle::Hex));

    const std::string all = model.copyAllText();
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 3001);
    EXPECT_EQ(all.substr(0, EventText::header.size() + 1), std::string(EventText::header) + "\n");
    EXPECT_EQ(all.substr(all.size() - 71), text.line(noteOn(3499), NumberStyle::Hex) + "\n");

    model.setNumberStyle(NumberStyle::Decimal);
    EXPECT_EQ(model.lineText(0), text.line(noteOn(500), NumberStyle::Decimal));
    model.clear();
    EXPECT_EQ(model.lineCount(), 0u);
    EXPECT_EQ(model.copyAllText(), std::string(EventText::header) + "\n");
}

TEST_F(MonitorModelTest, OverwritingTheOldestLineReplacesOwnedText) {
    for (int i = 0; i < 3000; ++i) {
        model.appendText("device listing line " + std::to_string(i));
    }
    feedNotes(2999);
    model.drain(feed);
    ASSERT_EQ(model.lineCount(), 3000u);
    EXPECT_EQ(model.lineText(0), " device listing line 2999");
    for (size_t i = 1; i < model.lineCount(); ++i) {
        ASSERT_TRUE(std::holds_alternative<EVENT>(model.lines()[i])) << i;
    }
}

TEST_F(MonitorModelTest, TextLinesAreCutToCopyAllWidthAndCleaned) {
    model.appendText(std::string(100, 'x'));
    model.appendText("two\nlines\tand \xff bad byte");
    EXPECT_EQ(model.lineText(1), " two?lines?and ? bad byte");
    const std::string all = model.copyAllText();
    EXPECT_NE(all.find(" " + std::string(79, 'x') + "\n"), std::string::npos);
}

TEST_F(MonitorModelTest, SysExPiecesBecomeByteLines) {
    feed.pieces[7] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
    feed.events.push_back(sysexPiece(7, 6));
    model.drain(feed);
    EXPECT_EQ(model.lineText(0), " SYSX: F0 7E 7F 09 01 F7");
}

TEST_F(MonitorModelTest, StoppedDisplayDiscardsWhatArrives) {
    std::vector<std::string> observed;
    model.setLineObserver([&](const MonitorLine& line) {
        std::string out;
        formatMonitorLine(text, line, NumberStyle::Hex, out);
        observed.push_back(out);
    });
    model.setDisplayRunning(false);
    feedNotes(5);
    EXPECT_EQ(model.drain(feed), 0u);
    EXPECT_TRUE(feed.events.empty()) << "the queue is still emptied";
    EXPECT_EQ(model.lineCount(), 0u);

    model.setDisplayRunning(true);
    feedNotes(2, 100);
    EXPECT_EQ(model.drain(feed), 2u);
    EXPECT_EQ(model.lineText(0), text.line(noteOn(100), NumberStyle::Hex));
    EXPECT_EQ(observed, (std::vector<std::string>{model.lineText(0), model.lineText(1)}));
}

TEST_F(MonitorModelTest, SelectionCopiesTheMarkedColumnsOfHeaderAndLines) {
    feedNotes(10);
    model.drain(feed);
    MonitorGrid grid;
    grid.setViewSize(40, 5); // header and four lines
    grid.linesAdded(model.lineCount(), 0);
    ASSERT_EQ(grid.topLine(), 6);

    grid.setMarking(true);
    grid.press(2, 0, false);
    grid.dragTo(4, 2);
    EXPECT_EQ(model.selectionText(grid), "IME\n000\n000\n");

    grid.setMarking(false);
    model.appendText("short");
    grid.linesAdded(model.lineCount(), 0);
    grid.scrollColumnsTo(60);
    grid.setMarking(true);
    grid.press(0, 3, false);
    grid.dragTo(39, 4);
    EXPECT_EQ(model.selectionText(grid), model.lineText(9).substr(28, 40) + "\n\n")
        << "a row gives what its line has in the selected columns";
}

TEST(LineColour, ByKindOrByChannel) {
    const auto colour = [](uint32_t message, bool channels) {
        EVENT e{};
        e.message = message;
        return lineColourIndex(MonitorLine{e}, channels);
    };
    EXPECT_EQ(colour(0x643C92, false), kNoteOnColour);
    EXPECT_EQ(colour(0x003C92, false), kNoteOffColour);
    EXPECT_EQ(colour(0x403C82, false), kNoteOffColour);
    EXPECT_EQ(colour(0x4000A0, false), kAftertouchColour);
    EXPECT_EQ(colour(0x0040D0, false), kAftertouchColour);
    EXPECT_EQ(colour(0x0107B0, false), kControllerColour);
    EXPECT_EQ(colour(0x0001C0, false), kProgramChangeColour);
    EXPECT_EQ(colour(0x4000E0, false), kPitchBendColour);
    EXPECT_EQ(colour(0x0000F8, false), kSystemExclusiveColour);
    EXPECT_EQ(colour(0x000012, false), kMonitorText);

    EXPECT_EQ(colour(0x643C92, true), kFirstChannelColour + 2);
    EXPECT_EQ(colour(0x0107BF, true), kFirstChannelColour + 15);
    EXPECT_EQ(colour(0x0000F0, true), kSystemExclusiveColour);

    EXPECT_EQ(lineColourIndex(TextLine{"x"}, false), kMonitorText);
    EXPECT_EQ(lineColourIndex(SysExBytesLine{}, true), kMonitorText);
}

} // namespace
} // namespace corvex
