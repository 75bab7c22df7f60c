#include "open_errors.h"

#include <array>
#include <cstdio>

namespace corvex {

namespace {

constexpr size_t kMaxDescription = 511;

constexpr std::array<const char*, 22> kSystemErrorNames = {
    "MMSYSERR_NOERROR",     "MMSYSERR_ERROR",        "MMSYSERR_BADDEVICEID",
    "MMSYSERR_NOTENABLED",  "MMSYSERR_ALLOCATED",    "MMSYSERR_INVALHANDLE",
    "MMSYSERR_NODRIVER",    "MMSYSERR_NOMEM",        "MMSYSERR_NOTSUPPORTED",
    "MMSYSERR_BADERRNUM",   "MMSYSERR_INVALFLAG",    "MMSYSERR_INVALPARAM",
    "MMSYSERR_HANDLEBUSY",  "MMSYSERR_INVALIDALIAS", "MMSYSERR_BADDB",
    "MMSYSERR_KEYNOTFOUND", "MMSYSERR_READERROR",    "MMSYSERR_WRITEERROR",
    "MMSYSERR_DELETEERROR", "MMSYSERR_VALNOTFOUND",  "MMSYSERR_NODRIVERCB",
    "MMSYSERR_MOREDATA"};

constexpr std::array<const char*, 8> kMidiErrorNames = {
    "MIDIERR_UNPREPARED", "MIDIERR_STILLPLAYING", "MIDIERR_NOMAP",       "MIDIERR_NOTREADY",
    "MIDIERR_NODEVICE",   "MIDIERR_INVALIDSETUP", "MIDIERR_BADOPENMODE", "MIDIERR_DONT_CONTINUE"};

} // namespace

const char* openErrorName(MMRESULT code) {
    if (code < kSystemErrorNames.size()) {
        return kSystemErrorNames[code];
    }
    if (code >= MIDIERR_BASE && code - MIDIERR_BASE < kMidiErrorNames.size()) {
        return kMidiErrorNames[code - MIDIERR_BASE];
    }
    return "MMRESULT_UNKNOWN";
}

std::string openErrorText(MMRESULT code, PortDirection direction) {
    switch (code) {
    case MMSYSERR_ERROR:
        return "Driver reported an external error \u2014 port may be disabled, muted, or "
               "disconnected.";
    case MMSYSERR_BADDEVICEID:
    case MMSYSERR_NODRIVER:
        return "MIDI port is no longer available (device disconnected or re-enumerating).";
    case MMSYSERR_ALLOCATED:
        return "Port is already in use by another application (single-client driver).";
    case MMSYSERR_NOMEM:
        return "Port could not be opened \u2014 usually already in use by another application "
               "or driver needs reset.";
    default:
        break;
    }
    char text[512] = {};
    if (direction == PortDirection::Input) {
        midiInGetErrorText(code, text, sizeof text);
    } else {
        midiOutGetErrorText(code, text, sizeof text);
    }
    return text;
}

std::string describeOpenError(MMRESULT code, const std::string& portName, PortDirection direction) {
    std::string text = (portName.empty() ? std::string("Unknown") : portName) + ": ";
    text += openErrorText(code, direction) + " [" + openErrorName(code) + ": " +
            std::to_string(code) + "]";
    if (text.size() > kMaxDescription) {
        size_t cut = kMaxDescription;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
            --cut; // never split a character
        }
        text.resize(cut);
    }
    return text;
}

} // namespace corvex
