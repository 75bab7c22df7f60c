#include "sysex/sysex_capture.h"

#include "sysex/sysex_files.h"
#include "sysex/sysex_hex.h"

namespace corvex {

SysExCapture::SysExCapture(SysExReceiveBuffer& buffer, SysExCaptureMode mode, int dumpFd)
    : buffer_(buffer), mode_(mode), dumpFd_(dumpFd) {
    buffer_.reset();
}

std::string SysExCapture::captured(size_t announced, const SysExReceiveBuffer::Copy& copy) {
    reported_ += announced;
    if (dumpFailed_) {
        return {};
    }
    copied_ += buffer_.read(announced, copy);
    return handOn();
}

std::string SysExCapture::drain(const SysExReceiveBuffer::Copy& copy) {
    std::string hex;
    while (!dumpFailed_ && !buffer_.full()) {
        size_t got = buffer_.read(buffer_.pageSize(), copy);
        if (got == 0) {
            break;
        }
        copied_ += got;
        hex += handOn();
    }
    return hex;
}

std::string SysExCapture::handOn() {
    std::string hex;
    if (mode_ == SysExCaptureMode::DumpToFile) {
        auto bytes = buffer_.bytes();
        dumpFailed_ = !writeAllTo(
            dumpFd_, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        buffer_.reset();
    } else if (mode_ == SysExCaptureMode::FillAsReceived) {
        hex = toPlainHex(buffer_.bytes());
        buffer_.reset();
    }
    return hex;
}

std::string SysExCapture::shortfallMessage() const {
    if (copied_ >= reported_ && !dumpFailed_) {
        return {};
    }
    std::string message;
    if (overflowed()) {
        message = "The receive buffer is full (25 MiB); the bytes received before are kept.\n";
    } else if (dumpFailed_) {
        message = "The dump file could not be written; the bytes written before are kept.\n";
    }
    return message + "Bytes Reported by low-level input: " + std::to_string(reported_) +
           "\nBytes Copied into Receive Buffer: " + std::to_string(copied_);
}

} // namespace corvex
