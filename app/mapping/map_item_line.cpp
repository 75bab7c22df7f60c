#include "mapping/map_item_line.h"

#include "mapping/hex_text.h"
#include "mapping/map_message_types.h"

#include <array>
#include <vector>

namespace corvex {

namespace {

constexpr uint16_t kAnyValue = 0xFFFF;
constexpr uint16_t kMaxValue = 16383;
constexpr unsigned kMaxDelay = 1023;
constexpr uint16_t kFlagBitsKept = MAPITEM_PULL_V1 | MAPITEM_PULL_V2 | MAPITEM_CLONE;

enum Field {
    kSourceChannel,
    kSourceMessage,
    kSourceV1Min,
    kSourceV1Max,
    kSourceV2Min,
    kSourceV2Max,
    kClone,
    kDelay,
    kTargetChannel,
    kTargetMessage,
    kTargetV1Min,
    kTargetV1Max,
    kTargetV2Min,
    kTargetV2Max,
    kSysExData,
};

constexpr std::array<const char*, 15> kFieldNames = {
    "Source Channel", "Source Message", "Source V1 Min", "Source V1 Max",  "Source V2 Min",
    "Source V2 Max",  "Clone",          "Delay",         "Target Channel", "Target Message",
    "Target V1 Min",  "Target V1 Max",  "Target V2 Min", "Target V2 Max",  "SysEx Data"};

// ---- writing ----

std::string channelText(uint8_t channel) {
    return channel == 0xFF ? "*" : std::to_string(channel + 1);
}

std::string messageText(uint8_t type) {
    std::string_view name = mapMessageName(type);
    // A value without a name is written as its number, which reads back as a problem
    // instead of as another type.
    return name.empty() ? std::to_string(type) : std::string(name);
}

std::string valueText(uint16_t value) {
    return value == kAnyValue ? "*" : std::to_string(value);
}

// ---- reading ----

struct Token {
    std::string_view text;
    size_t end; // offset in the line just past the token
};

bool isCut(char c) {
    return c == ' ' || c == '\t' || c == ',' || c == ';';
}

std::vector<Token> tokenize(std::string_view line) {
    std::vector<Token> tokens;
    size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && isCut(line[at])) {
            ++at;
        }
        size_t start = at;
        while (at < line.size() && !isCut(line[at])) {
            ++at;
        }
        if (at > start) {
            tokens.push_back({line.substr(start, at - start), at});
        }
    }
    return tokens;
}

// The leading decimal number of `text` (optional sign, at least one digit, anything after
// the digits ignored), saturated far beyond every bound; nothing without digits.
std::optional<long> leadingNumber(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text[0] < '0' || text[0] > '9') {
        return std::nullopt;
    }
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        value = std::min(value * 10 + (c - '0'), 1000000L);
    }
    return negative ? -value : value;
}

class LineReader {
public:
    LineReader(std::string_view line, int version)
        : line_(line), tokens_(tokenize(line)), version_(version) {}

    ItemLineReading read() {
        MapItem& item = row_.item;
        if (!channel(kSourceChannel, item.sourceChannel) ||
            !message(kSourceMessage, item.sourceMessage) ||
            !value(kSourceV1Min, item.sourceV1Min) || !value(kSourceV1Max, item.sourceV1Max) ||
            !value(kSourceV2Min, item.sourceV2Min) || !value(kSourceV2Max, item.sourceV2Max) ||
            !clone() || (version_ >= 5 && !delay()) ||
            !channel(kTargetChannel, item.targetChannel) ||
            !message(kTargetMessage, item.targetMessage)) {
            return failure_;
        }
        if (item.targetMessage == MAP_DISCARD || item.targetMessage == MAP_SYSEX) {
            item.targetChannel = 0xFF;
            item.targetV1Min = item.targetV1Max = item.targetV2Min = item.targetV2Max = kAnyValue;
            if (item.targetMessage == MAP_SYSEX && !sysexText()) {
                return failure_;
            }
            return {row_, {}, {}};
        }
        if (!value(kTargetV1Min, item.targetV1Min) || !value(kTargetV1Max, item.targetV1Max) ||
            !value(kTargetV2Min, item.targetV2Min) || !value(kTargetV2Max, item.targetV2Max)) {
            return failure_;
        }
        marks();
        return {row_, {}, {}};
    }

private:
    bool fail(Field field, std::string_view found) {
        failure_.field = kFieldNames[field];
        failure_.value = std::string(found);
        return false;
    }

    // The next token, or nothing (and a failure) when the line has ended.
    std::optional<std::string_view> next(Field field) {
        if (next_ == tokens_.size()) {
            fail(field, {});
            return std::nullopt;
        }
        return tokens_[next_++].text;
    }

    bool channel(Field field, uint8_t& out) {
        auto token = next(field);
        if (!token) {
            return false;
        }
        if ((*token)[0] == '*') {
            out = 0xFF;
            return true;
        }
        auto number = leadingNumber(*token);
        if (!number || *number < 1 || *number > 16) {
            return fail(field, *token);
        }
        out = static_cast<uint8_t>(*number - 1);
        return true;
    }

    bool message(Field field, uint8_t& out) {
        auto token = next(field);
        if (!token) {
            return false;
        }
        auto type = (*token)[0] == '*' ? std::optional<uint8_t>(MAP_ANY) : mapMessageByName(*token);
        if (!type || (field == kSourceMessage && !isSourceType(*type))) {
            return fail(field, *token);
        }
        out = *type;
        return true;
    }

    bool value(Field field, uint16_t& out) {
        auto token = next(field);
        if (!token) {
            return false;
        }
        if ((*token)[0] == '*') {
            out = kAnyValue;
            return true;
        }
        auto number = leadingNumber(*token);
        if (!number || *number < 0 || *number > kMaxValue) {
            return fail(field, *token);
        }
        out = static_cast<uint16_t>(*number);
        return true;
    }

    bool clone() {
        auto token = next(kClone);
        if (!token) {
            return false;
        }
        switch ((*token)[0]) {
        case 'Y':
        case 'y':
        case 'T':
        case 't':
            row_.item.itemFlags |= MAPITEM_CLONE;
            return true;
        case 'N':
        case 'n':
        case 'F':
        case 'f':
            return true;
        default:
            return fail(kClone, *token);
        }
    }

    bool delay() {
        auto token = next(kDelay);
        if (!token) {
            return false;
        }
        auto number = leadingNumber(*token);
        if (!number || *number < 0 || *number > long{kMaxDelay}) {
            return fail(kDelay, *token);
        }
        row_.item.itemFlags = static_cast<uint16_t>((row_.item.itemFlags & kFlagBitsKept) |
                                                    *number << MAPITEM_DELAY_SHIFT);
        return true;
    }

    // The hex text after the "SysEx" token, up to a ";"; none gives an item without entry.
    bool sysexText() {
        std::string_view rest = line_.substr(tokens_[next_ - 1].end);
        rest = rest.substr(0, rest.find(';'));
        HexTextReading reading = parseHexText(rest, MAP_SYSEX_STRING_MAX);
        if (reading.end != HexTextReading::End::Complete) {
            return fail(kSysExData, rest.substr(reading.stop));
        }
        row_.sysex = std::move(reading.bytes);
        return true;
    }

    void marks() {
        if (next_ < tokens_.size() && tokens_[next_].text[0] == '>') {
            row_.item.itemFlags |= MAPITEM_PULL_V1;
            ++next_;
        }
        if (next_ < tokens_.size() && tokens_[next_].text[0] == '<') {
            row_.item.itemFlags |= MAPITEM_PULL_V2;
            ++next_;
        }
    }

    std::string_view line_;
    std::vector<Token> tokens_;
    size_t next_ = 0;
    int version_;
    MapRow row_;
    ItemLineReading failure_;
};

} // namespace

std::string formatItemLine(const MapRow& row) {
    const MapItem& item = row.item;
    std::string line = channelText(item.sourceChannel) + ',' + messageText(item.sourceMessage) +
                       ',' + valueText(item.sourceV1Min) + ',' + valueText(item.sourceV1Max) + ',' +
                       valueText(item.sourceV2Min) + ',' + valueText(item.sourceV2Max) + ',' +
                       ((item.itemFlags & MAPITEM_CLONE) ? "Y" : "N") + ',' +
                       std::to_string(item.itemFlags >> MAPITEM_DELAY_SHIFT) + ',';
    if (item.targetMessage == MAP_DISCARD) {
        return line + "*,Discard,*,*,*,*";
    }
    if (item.targetMessage == MAP_SYSEX) {
        return line + "*,SysEx," + formatHexText(row.sysex);
    }
    line += channelText(item.targetChannel) + ',' + messageText(item.targetMessage) + ',' +
            valueText(item.targetV1Min) + ',' + valueText(item.targetV1Max) + ',' +
            valueText(item.targetV2Min) + ',' + valueText(item.targetV2Max);
    if (item.itemFlags & MAPITEM_PULL_V1) {
        line += ",>";
    }
    if (item.itemFlags & MAPITEM_PULL_V2) {
        line += ",<";
    }
    return line;
}

ItemLineReading parseItemLine(std::string_view line, int version) {
    return LineReader(line, version).read();
}

} // namespace corvex
