#include "platform/midi_byte_parser.h"

#include "midi/message_length.h"

namespace cvx::platform {

void MidiByteParser::reset() {
    runningStatus_ = 0;
    status_ = 0;
    needed_ = 0;
    have_ = 0;
    inSysEx_ = false;
}

int MidiByteParser::feed(uint8_t byte, uint32_t time, Action* out) {
    int n = 0;
    if (byte >= 0xF8) {
        out[n++] = Action{Kind::Short, 0, byte, time};
        return n;
    }
    if (inSysEx_) {
        if (byte < 0x80) {
            out[n++] = Action{Kind::SysExByte, byte, 0, time};
            return n;
        }
        inSysEx_ = false;
        runningStatus_ = 0;
        if (byte == 0xF7) {
            out[n++] = Action{Kind::SysExEnd, byte, 0, time};
            return n;
        }
        out[n++] = Action{Kind::SysExAbort, 0, 0, time};
        // ... and the status byte acts as itself below.
    }
    if (byte >= 0x80) {
        if (status_ != 0) {
            uint32_t partial = status_;
            for (uint8_t i = 0; i < have_; ++i) {
                partial |= uint32_t{data_[i]} << (8 * (i + 1));
            }
            out[n++] = Action{Kind::Error, 0, partial, time_};
            status_ = 0;
        }
        if (byte == 0xF0) {
            runningStatus_ = 0;
            inSysEx_ = true;
            out[n++] = Action{Kind::SysExByte, byte, 0, time};
            return n;
        }
        if (byte == 0xF7) {
            runningStatus_ = 0;
            out[n++] = Action{Kind::Error, 0, byte, time};
            return n;
        }
        runningStatus_ = byte < 0xF0 ? byte : 0;
        int length = midi::dataLength(byte);
        if (length == 0) {
            out[n++] = Action{Kind::Short, 0, byte, time};
            return n;
        }
        status_ = byte;
        needed_ = static_cast<uint8_t>(length);
        have_ = 0;
        time_ = time;
        return n;
    }
    // A data byte.
    if (status_ == 0) {
        if (runningStatus_ == 0) {
            out[n++] = Action{Kind::Error, 0, byte, time};
            return n;
        }
        status_ = runningStatus_;
        needed_ = static_cast<uint8_t>(midi::dataLength(status_));
        have_ = 0;
        time_ = time;
    }
    data_[have_++] = byte;
    if (have_ == needed_) {
        uint32_t message = status_ | uint32_t{data_[0]} << 8;
        if (needed_ == 2) {
            message |= uint32_t{data_[1]} << 16;
        }
        out[n++] = Action{Kind::Short, 0, message, time_};
        status_ = 0;
    }
    return n;
}

} // namespace cvx::platform
