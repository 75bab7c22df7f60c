// midiInGetErrorText / midiOutGetErrorText: the text of an MMSYSERR_* or MIDIERR_* code.
#include "cvx_platform.h"

#include <cstring>

namespace {

const char* errorText(MMRESULT error) {
    switch (error) {
    case MMSYSERR_NOERROR:
        return "The specified command was carried out.";
    case MMSYSERR_ERROR:
        return "Undefined external error.";
    case MMSYSERR_BADDEVICEID:
        return "A device ID has been used that is out of range for your system.";
    case MMSYSERR_NOTENABLED:
        return "The driver was not enabled.";
    case MMSYSERR_ALLOCATED:
        return "The specified device is already in use. Wait until it is free, and then "
               "try again.";
    case MMSYSERR_INVALHANDLE:
        return "The specified device handle is invalid.";
    case MMSYSERR_NODRIVER:
        return "There is no driver installed on your system.";
    case MMSYSERR_NOMEM:
        return "There is not enough memory available for this task. Quit one or more "
               "applications to increase available memory, and then try again.";
    case MMSYSERR_NOTSUPPORTED:
        return "This function is not supported. Use the Capabilities function to "
               "determine which functions and messages the driver supports.";
    case MMSYSERR_BADERRNUM:
        return "An error number was specified that is not defined in the system.";
    case MMSYSERR_INVALFLAG:
        return "An invalid flag was passed to a system function.";
    case MMSYSERR_INVALPARAM:
        return "An invalid parameter was passed to a system function.";
    case MMSYSERR_HANDLEBUSY:
        return "The specified handle is being used simultaneously by another thread (for "
               "example, a callback thread).";
    case MMSYSERR_INVALIDALIAS:
        return "The specified alias was not found.";
    case MMSYSERR_BADDB:
        return "The settings database is damaged.";
    case MMSYSERR_KEYNOTFOUND:
        return "The specified settings key was not found.";
    case MMSYSERR_READERROR:
        return "The settings could not be read.";
    case MMSYSERR_WRITEERROR:
        return "The settings could not be written.";
    case MMSYSERR_DELETEERROR:
        return "The settings could not be deleted.";
    case MMSYSERR_VALNOTFOUND:
        return "The specified settings value was not found.";
    case MMSYSERR_NODRIVERCB:
        return "The driver did not generate a valid OPEN callback.";
    case MMSYSERR_MOREDATA:
        return "More data is to be returned.";
    case MIDIERR_UNPREPARED:
        return "The header is not prepared. Use the Prepare function to prepare the "
               "header, and then try again.";
    case MIDIERR_STILLPLAYING:
        return "This operation cannot be performed while the MIDI buffer is still "
               "playing. Reset the device, or wait until the data has been sent, and then "
               "try again.";
    case MIDIERR_NOMAP:
        return "A MIDI map was not found.";
    case MIDIERR_NOTREADY:
        return "The port is transmitting data to the device. Wait until the data has "
               "been transmitted, and then try again.";
    case MIDIERR_NODEVICE:
        return "The MIDI Mapper refers to a MIDI device that is not present on the "
               "system.";
    case MIDIERR_INVALIDSETUP:
        return "The current MIDI setup is damaged.";
    case MIDIERR_BADOPENMODE:
        return "The operation is unsupported in this open mode.";
    case MIDIERR_DONT_CONTINUE:
        return "The thru device is not accepting the data.";
    default:
        return nullptr;
    }
}

MMRESULT copyErrorText(MMRESULT error, char* text, UINT size) {
    if (text == nullptr || size == 0) {
        return MMSYSERR_INVALPARAM;
    }
    const char* message = errorText(error);
    if (message == nullptr) {
        text[0] = '\0';
        return MMSYSERR_BADERRNUM;
    }
    size_t n = std::strlen(message);
    if (n > size - 1) {
        n = size - 1;
    }
    std::memcpy(text, message, n);
    text[n] = '\0';
    return MMSYSERR_NOERROR;
}

} // namespace

extern "C" {

MMRESULT midiInGetErrorText(MMRESULT error, char* text, UINT size) {
    return copyErrorText(error, text, size);
}

MMRESULT midiOutGetErrorText(MMRESULT error, char* text, UINT size) {
    return copyErrorText(error, text, size);
}

} // extern "C"
