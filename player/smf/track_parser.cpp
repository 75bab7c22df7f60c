#include "smf/track_parser.h"

#include "midi/message_length.h"
#include "smf/smf_reader.h"

namespace corvex::smf {

TrackParser::TrackParser(std::span<const uint8_t> file, size_t start, size_t declaredEnd,
                         size_t number)
    : file_(file), cursor_(file, start), declaredEnd_(declaredEnd), number_(number) {}

TrackParser::Result TrackParser::parse(std::vector<uint8_t>& pool) {
    while (parseEvent(pool)) {
    }
    return std::move(result_);
}

bool TrackParser::fail(size_t position, const std::string& what) {
    result_.stop = Stop::Unsound;
    result_.stoppedAt = position;
    result_.problem = "Track " + std::to_string(number_) + ": " + what + " at byte " +
                      std::to_string(position) + "; the rest of the track was ignored.";
    return false;
}

bool TrackParser::failPastEnd(size_t position) {
    result_.pastFileEnd = true;
    return fail(position, "an event runs past the end of the file");
}

bool TrackParser::readLength(uint32_t& length, size_t eventStart) {
    switch (cursor_.varLen(length)) {
    case ByteCursor::VarLen::Ok:
        return true;
    case ByteCursor::VarLen::Truncated:
        return failPastEnd(eventStart);
    case ByteCursor::VarLen::TooLong:
        break;
    }
    if (cursor_.position() < declaredEnd_) {
        throw SmfError("Track " + std::to_string(number_) +
                       " holds a variable-length number of more than 4 bytes at byte " +
                       std::to_string(cursor_.position()) + ".");
    }
    return fail(cursor_.position(), "a variable-length number of more than 4 bytes");
}

bool TrackParser::parseEvent(std::vector<uint8_t>& pool) {
    size_t eventStart = cursor_.position();
    if (cursor_.atEnd()) {
        return fail(eventStart, "the file ends before the end of the track");
    }
    uint32_t delta = 0;
    if (!readLength(delta, eventStart)) {
        return false;
    }
    tick_ += delta;
    auto status = cursor_.peek();
    if (!status) {
        return failPastEnd(eventStart);
    }
    if (*status < 0x80) {
        if (runningStatus_ == 0) {
            return fail(cursor_.position(), "a data byte without a status");
        }
        return channelMessage(runningStatus_, pool, eventStart);
    }
    cursor_.skip(1);
    if (*status < 0xF0) {
        runningStatus_ = *status;
        return channelMessage(*status, pool, eventStart);
    }
    if (*status == 0xF0) {
        return dataEvent(EventKind::SysEx, 0, pool, eventStart);
    }
    if (*status == 0xF7) {
        return dataEvent(EventKind::SysExEscape, 0, pool, eventStart);
    }
    if (*status == 0xFF) {
        auto type = cursor_.byte();
        if (!type) {
            return failPastEnd(eventStart);
        }
        return dataEvent(EventKind::Meta, *type, pool, eventStart);
    }
    return fail(eventStart, "a system message that a MIDI file cannot hold");
}

bool TrackParser::channelMessage(uint8_t status, std::vector<uint8_t>& pool, size_t eventStart) {
    auto dataBytes = static_cast<size_t>(cvx::midi::dataLength(status));
    uint8_t message[3] = {status, 0, 0};
    for (size_t i = 1; i <= dataBytes; ++i) {
        auto data = cursor_.byte();
        if (!data) {
            return failPastEnd(eventStart);
        }
        if (*data >= 0x80) {
            return fail(cursor_.position() - 1, "a status byte where a data byte belongs");
        }
        message[i] = *data;
    }
    TrackEvent event{tick_, EventKind::Channel, 0, static_cast<uint32_t>(pool.size()),
                     static_cast<uint32_t>(dataBytes + 1)};
    pool.insert(pool.end(), message, message + dataBytes + 1);
    result_.events.push_back(event);
    result_.eventEnds.push_back(cursor_.position());
    return true;
}

bool TrackParser::dataEvent(EventKind kind, uint8_t metaType, std::vector<uint8_t>& pool,
                            size_t eventStart) {
    uint32_t length = 0;
    if (!readLength(length, eventStart)) {
        return false;
    }
    size_t dataStart = cursor_.position();
    if (!cursor_.skip(length)) {
        return failPastEnd(eventStart);
    }
    if (kind == EventKind::Meta && metaType == meta::kEndOfTrack) {
        result_.stop = Stop::EndOfTrack;
        result_.end = cursor_.position();
        result_.endTick = tick_;
        return false;
    }
    TrackEvent event{tick_, kind, metaType, static_cast<uint32_t>(pool.size()), length};
    auto bytes = file_.subspan(dataStart, length);
    pool.insert(pool.end(), bytes.begin(), bytes.end());
    result_.events.push_back(event);
    result_.eventEnds.push_back(cursor_.position());
    return true;
}

} // namespace corvex::smf
