/* Device-change notification and full device names of the MIDI service. */
#ifndef CVX_DEVICES_H
#define CVX_DEVICES_H

#include "cvx_platform.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Called on the MIDI service's device thread after the device lists have been re-read
   because a device arrived or was removed (and only when the lists changed). The callback
   may call midiInGetNumDevs, midiOutGetDevCaps, cvxMidiInGetName and the like; it should
   return quickly (post to the application's own thread for the rest). */
typedef void (*CvxDeviceChangeCallback)(void* user);

/* Installs the callback (null removes it); one at a time, a later call replaces it. When
   this returns, the previous callback is not running (unless this is called from inside
   it) and is not called again. Returns 1. */
CVX_API int cvxMidiSetDeviceChangeCallback(CvxDeviceChangeCallback callback,
                                           void* user) CVX_NOEXCEPT;

/* The full name of an input / output device (szPname of the caps holds only 31
   characters; ALSA names "client:port" are longer), NUL-terminated and cut to size - 1
   bytes. cvxMidiOutGetName(MIDI_MAPPER, ...) gives "MIDI Mapper". Returns
   MMSYSERR_NOERROR, MMSYSERR_BADDEVICEID or MMSYSERR_INVALPARAM (null buffer, size 0). */
CVX_API MMRESULT cvxMidiInGetName(UINT device, char* buffer, UINT size) CVX_NOEXCEPT;
CVX_API MMRESULT cvxMidiOutGetName(UINT device, char* buffer, UINT size) CVX_NOEXCEPT;

/* The word of the backend a device belongs to ("virtual", "alsa", "jack"), as
   cvxMidiInGetName. */
CVX_API MMRESULT cvxMidiInGetBackend(UINT device, char* buffer, UINT size) CVX_NOEXCEPT;
CVX_API MMRESULT cvxMidiOutGetBackend(UINT device, char* buffer, UINT size) CVX_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif
