#include "corvex-dump/dump_session.h"

#include <algorithm>

namespace corvex::examples {
namespace {

bool isChunk(const EVENT& event) {
    return event.message >> 24 == CVX_ORIGIN_CHUNK && (event.message & 0xFF) == 0;
}

} // namespace

DumpSession::DumpSession(HWND window, std::ostream& out, NumberStyle style)
    : client_(window), out_(out), style_(style) {}

std::string DumpSession::open(const Device& input) {
    std::string error = client_.openInput(input);
    if (error.empty()) {
        client_.start();
        out_ << EventText::header << '\n' << std::flush;
    }
    return error;
}

void DumpSession::handle(const CvxMessage& message) {
    if (message.msg == WM_CVX_EVENTS) {
        printEvents();
    } else if (message.msg == WM_CVX_SYSEXDATA) {
        EngineClient::giveBack(message);
    }
}

void DumpSession::printEvents() {
    EVENT event{};
    while (GetEvent(client_.handle(), &event, MON_MAIN)) {
        print(event);
    }
    out_.flush();
}

void DumpSession::print(const EVENT& event) {
    if (isChunk(event)) {
        uint8_t piece[EventText::sysexPieceBytes] = {};
        const auto slot = static_cast<uint16_t>(event.timestamp);
        GetSysExString(client_.handle(), slot, piece, sizeof piece);
        const size_t count = std::min<size_t>((event.message >> 8) & 0xFFFF, sizeof piece);
        out_ << EventText::sysexLine(piece, count, style_) << '\n';
    } else {
        text_.line(event, style_, line_);
        out_ << line_ << '\n';
    }
    ++lines_;
}

} // namespace corvex::examples
