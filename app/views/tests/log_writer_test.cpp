#include "views/log_writer.h"

#include <gtest/gtest.h>

#include <map>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace corvex {
namespace {

constexpr std::string_view kDate = "Thu 10-Dec-2026 03:12:59";

MonitorLine event(uint64_t time, unsigned status, unsigned d1, unsigned d2 = 0) {
    EVENT e{};
    e.timestamp = time;
    e.message = status | d1 << 8 | d2 << 16;
    return e;
}

MonitorLine sysex(std::vector<uint8_t> bytes) {
    SysExBytesLine piece;
    piece.count = static_cast<uint8_t>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), piece.bytes.begin());
    return piece;
}

std::string logPath(const std::string& name) {
    const auto folder = std::filesystem::path(testing::TempDir()) / "log_writer";
    std::filesystem::create_directories(folder);
    return (folder / name).string();
}

std::vector<std::string> linesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<std::string> lines;
    std::string all = text.str();
    size_t start = 0;
    for (size_t end; (end = all.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(all.substr(start, end - start));
    }
    EXPECT_EQ(start, all.size()) << "the file ends with a whole line";
    return lines;
}

std::vector<std::string> logOf(LogFormat format, const std::vector<MonitorLine>& records,
                               const std::string& name) {
    const std::string path = logPath(name);
    const EventText text;
    {
        LogWriter log;
        EXPECT_EQ(log.open(path, format, false, "Corvex", "1.0", kDate), "");
        std::string normal;
        for (const MonitorLine& record : records) {
            formatMonitorLine(text, record, NumberStyle::Hex, normal);
            log.write(record, normal);
        }
        log.close(kDate);
    }
    return linesOf(path);
}

const std::vector<MonitorLine> kStream = {
    event(5000, 0x90, 60, 100), event(5000, 0x80, 60, 64), event(6000, 0x91, 62, 0),
    event(6010, 0xA2, 61, 5),   event(6020, 0xB3, 7, 99),  event(6030, 0xC4, 12),
    event(6040, 0xD5, 33),      event(6050, 0xE6, 1, 64),  event(6060, 0xF8, 0),
    sysex({0xF0, 0x41, 0x10}),  sysex({0x42, 0xF7}),       event(3000, 0x90, 64, 1),
};

TEST(LogWriterFormats, NormalWritesTheMonitorLinesBetweenOpeningAndClosingLines) {
    const auto lines = logOf(LogFormat::Normal, kStream, "normal.txt");
    ASSERT_EQ(lines.size(), kStream.size() + 4);
    EXPECT_EQ(lines[0], " ===> Corvex Version: 1.0");
    EXPECT_EQ(lines[1], " ===> Log Opened: Thu 10-Dec-2026 03:12:59 ===>");
    EXPECT_EQ(lines[2], EventText::header);
    EXPECT_EQ(lines[3], EventText().line(std::get<EVENT>(kStream[0]), NumberStyle::Hex));
    EXPECT_EQ(lines[12], " SYSX: F0 41 10");
    EXPECT_EQ(lines.back(), " <=== Corvex Log Closed: Thu 10-Dec-2026 03:12:59 <===");
}

TEST(LogWriterFormats, MidiToTextWritesATrackLineByLine) {
    const std::vector<std::string> expected = {
        "# Corvex Version: 1.0",
        "# MIDI To Text Format - Opened: Thu 10-Dec-2026 03:12:59",
        "# The first MIDI event received will initiate timestamps",
        "MFile 0 1 120",
        "MTrk",
        "0 TimeSig 4/4 24 8",
        "0 Tempo 500000",
        "0 On   ch=1 n=60 v=100",
        "0 Off  ch=1 n=60 v=64",
        "240 Off  ch=2 n=62 v=64",
        "242 PoPr ch=3 n=61 v=5",
        "245 Par  ch=4 c=7 v=99",
        "247 PrCh ch=5 p=12",
        "250 ChPr ch=6 v=33",
        "252 Pb   ch=7 v=8193",
        "253 SysEx F0 41 10\\",
        "         42 F7",
        "253 On   ch=1 n=64 v=1", // stamped before time zero: keeps the last tick
        "TrkEnd",
        "# Corvex: MIDI To Text Format - Closed: Thu 10-Dec-2026 03:12:59",
    };
    EXPECT_EQ(logOf(LogFormat::MidiToText, kStream, "m2t.txt"), expected);
}

TEST(LogWriterFormats, RawWritesBytesInLinesOfAtMostEightyCharacters) {
    const std::vector<std::string> expected = {
        "===> Corvex Version: 1.0",
        "===> Raw Log Opened: Thu 10-Dec-2026 03:12:59 ===>",
        "",
        "903C64 803C40 913E00 A23D05 B30763 C40C D521 E60140 F8 F04110 42F7 904001 ",
        "",
        "<=== Corvex Log Closed: Thu 10-Dec-2026 03:12:59 <===",
    };
    EXPECT_EQ(logOf(LogFormat::Raw, kStream, "raw.txt"), expected);

    std::vector<MonitorLine> sensing(60, event(0, 0xFE, 0));
    const auto lines = logOf(LogFormat::Raw, sensing, "sensing.txt");
    ASSERT_EQ(lines.size(), 3u + 3 + 2);
    EXPECT_EQ(lines[3].size(), 26u * 3);
    EXPECT_EQ(lines[3].substr(0, 6), "FE FE ");
    EXPECT_EQ(lines[5].size(), 8u * 3);

    std::vector<uint8_t> long_sysex(18, 0x11);
    std::vector<MonitorLine> runs(5, sysex(long_sysex));
    for (const std::string& line : logOf(LogFormat::Raw, runs, "runs.txt")) {
        EXPECT_LE(line.size(), 80u);
    }
}

TEST(LogWriterMendedCases, SysExEndingWithoutF7AndReopeningResetTheSysExState) {
    const std::vector<MonitorLine> records = {
        event(0, 0x90, 1, 1),   sysex({0xF0, 1, 2}),
        event(100, 0x90, 2, 2), sysex({3, 4}), // a piece with no message open starts one
        sysex({0xF0, 5}),       sysex({6, 0xF7})};
    const auto lines = logOf(LogFormat::MidiToText, records, "unended.txt");
    const std::vector<std::string> body(lines.begin() + 7, lines.end() - 2);
    const std::vector<std::string> expected = {"0 On   ch=1 n=1 v=1",  "1 SysEx F0 01 02",
                                               "24 On   ch=1 n=2 v=2", "25 SysEx 03 04",
                                               "26 SysEx F0 05\\",     "         06 F7"};
    EXPECT_EQ(body, expected);

    LogWriter log;
    const std::string path = logPath("reopened.txt");
    log.open(path, LogFormat::MidiToText, false, "Corvex", "1.0", kDate);
    log.write(sysex({0xF0, 1}), "");
    log.close(kDate);
    log.open(path, LogFormat::MidiToText, false, "Corvex", "1.0", kDate);
    log.write(sysex({2, 0xF7}), "");
    log.close(kDate);
    EXPECT_EQ(linesOf(path)[7], "1 SysEx 02 F7");
}

// Ticks of note-ons stamped as given: a stamp wrapping past 2^32 ms counts forward, an
// earlier stamp keeps the last tick, and neither underflows into a huge tick.
TEST(LogWriterMendedCases, WrappedAndOutOfOrderStampsNeverUnderflow) {
    struct Case {
        const char* name;
        std::vector<uint64_t> stamps;
        std::vector<std::string> ticks;
    };
    const Case cases[] = {
        {"wrap", {0xFFFFFF00u, 0xFFFFFFFFu, 0x100u}, {"0", "61", "123"}},
        {"out of order", {5000, 4000, 5500, 5250}, {"0", "0", "120", "120"}},
        {"earlier than the first", {10, 0, 20}, {"0", "0", "2"}},
        {"64-bit stamps use the low half", {0x1'0000'0000u, 0x1'0000'03E8u}, {"0", "240"}},
    };
    for (const Case& c : cases) {
        std::vector<MonitorLine> records;
        for (const uint64_t stamp : c.stamps) {
            records.push_back(event(stamp, 0x90, 60, 1));
        }
        const auto lines = logOf(LogFormat::MidiToText, records, "stamps.txt");
        std::vector<std::string> ticks;
        for (size_t i = 7; i + 2 < lines.size(); ++i) {
            ticks.push_back(lines[i].substr(0, lines[i].find(' ')));
        }
        EXPECT_EQ(ticks, c.ticks) << c.name;
    }
}

TEST(LogWriterMendedCases, AppendKeepsTheFileExceptForMidiToText) {
    const std::string path = logPath("append.txt");
    for (const LogFormat format : {LogFormat::Normal, LogFormat::Raw, LogFormat::MidiToText}) {
        std::filesystem::remove(path);
        for (int round = 0; round < 2; ++round) {
            LogWriter log;
            ASSERT_EQ(log.open(path, format, true, "Corvex", "1.0", kDate), "");
        }
        const auto lines = linesOf(path);
        const size_t once = format == LogFormat::Normal ? 4 : format == LogFormat::Raw ? 5 : 9;
        EXPECT_EQ(lines.size(), format == LogFormat::MidiToText ? once : 2 * once);
    }
}

TEST(LogWriterMendedCases, OpenFailuresAndUnwritableFolders) {
    LogWriter log;
    EXPECT_EQ(log.open("/nonexistent-folder/x.txt", LogFormat::Normal, false, "C", "1", kDate),
              "Open Log Failed: /nonexistent-folder/x.txt");
    EXPECT_FALSE(log.isOpen());
    const auto folder = std::filesystem::path(logPath("locked"));
    std::filesystem::create_directories(folder);
    ::chmod(folder.c_str(), 0500);
    const bool locked = ::access(folder.c_str(), W_OK) != 0; // root may still write
    const std::string chosen = usableLogPath((folder / "MIDILog.txt").string(), "/data");
    ::chmod(folder.c_str(), 0700);
    if (locked) {
        EXPECT_EQ(chosen, "/data/MIDILog.txt");
    }
    EXPECT_EQ(usableLogPath(folder.string() + "/a.txt", "/data"), folder.string() + "/a.txt");
}

// Reads a MIDI-to-Text track back into (tick, message) pairs, as a text-to-MIDI converter
// would, to check the form holds what was logged.
std::vector<std::pair<unsigned, uint32_t>> parseTrack(const std::vector<std::string>& lines) {
    std::vector<std::pair<unsigned, uint32_t>> events;
    for (const std::string& line : lines) {
        std::istringstream in(line);
        unsigned tick = 0;
        std::string kind;
        if (!(in >> tick >> kind)) {
            continue;
        }
        std::map<std::string, unsigned> fields;
        for (std::string field; in >> field;) {
            const size_t eq = field.find('=');
            if (eq != std::string::npos) {
                fields[field.substr(0, eq)] = std::stoul(field.substr(eq + 1));
            }
        }
        const unsigned ch = fields["ch"] - 1;
        const std::map<std::string, std::pair<unsigned, std::pair<const char*, const char*>>>
            kinds = {{"On", {0x90, {"n", "v"}}},   {"Off", {0x80, {"n", "v"}}},
                     {"PoPr", {0xA0, {"n", "v"}}}, {"Par", {0xB0, {"c", "v"}}},
                     {"PrCh", {0xC0, {"p", ""}}},  {"ChPr", {0xD0, {"v", ""}}}};
        if (kind == "Pb") {
            events.emplace_back(tick,
                                (0xE0 | ch) | (fields["v"] & 0x7F) << 8 | (fields["v"] >> 7) << 16);
        } else if (auto it = kinds.find(kind); it != kinds.end()) {
            const auto& [status, names] = it->second;
            events.emplace_back(tick, (status | ch) | fields[names.first] << 8 |
                                          (*names.second ? fields[names.second] : 0) << 16);
        }
    }
    return events;
}

TEST(LogWriterFormats, MidiToTextReadsBackToTheLoggedEvents) {
    std::vector<MonitorLine> records;
    std::vector<std::pair<unsigned, uint32_t>> expected;
    for (unsigned i = 0; i < 3000; ++i) {
        const unsigned status = 0x80 + (i % 7) * 16 + i % 16;
        const unsigned d1 = i * 7 % 128, d2 = 1 + i * 3 % 127;
        const uint64_t ms = 1000 + i * 25;
        records.push_back(event(ms, status, d1, d2));
        const bool oneData = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0;
        expected.emplace_back(i * 6, status | d1 << 8 | (oneData ? 0 : d2) << 16);
    }
    EXPECT_EQ(parseTrack(logOf(LogFormat::MidiToText, records, "readback.txt")), expected);
}

TEST(LogWriterFormats, DateTextHasTheFixedLayout) {
    std::tm when{};
    when.tm_wday = 0;
    when.tm_mday = 6;
    when.tm_mon = 0;
    when.tm_year = 126;
    when.tm_hour = 13;
    when.tm_min = 5;
    when.tm_sec = 9;
    EXPECT_EQ(logDateText(when), "Sun 06-Jan-2026 13:05:09");
}

} // namespace
} // namespace corvex
