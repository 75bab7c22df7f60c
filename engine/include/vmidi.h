/* The test tap of the virtual MIDI backend, and the manual clock.

   Tests of every layer, benchmarks and scripts drive the engine through these calls without
   hardware. Device numbers are the midiIn / midiOut device indices (the virtual cables come
   first: "Corvex Loopback 1" is input 0 and output 0 unless CORVEX_LOOPBACKS=0). */
#ifndef CVX_VMIDI_H
#define CVX_VMIDI_H

#include "cvx_platform.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Bytes arrive at input device `inputDevice` as if its cable had carried them (any
   backend's input device may be fed). They are parsed and delivered on the service's input
   thread like any other input; when the input is not open and started they are lost, as on
   a real port. Blocks while the input's queue is full (except on the input thread, where
   what does not fit is dropped). Returns 1, or 0 when there is no such device. */
CVX_API int vmidiFeed(unsigned inputDevice, const unsigned char* bytes,
                      unsigned length) CVX_NOEXCEPT;

/* Copies the bytes sent to virtual output device `outputDevice` (short and long messages,
   exactly as sent: under running status without the status byte) since the last take,
   oldest first, and returns how many were copied; what does not fit stays for the next
   take. MIDI_MAPPER takes from the device the mapper currently aliases. Each cable keeps
   the last 4 MiB sent to it (allocated when its output is first opened); older bytes are
   dropped when a test does not take them in time. Returns 0 for a non-virtual device. */
CVX_API unsigned vmidiTake(unsigned outputDevice, unsigned char* buffer,
                           unsigned capacity) CVX_NOEXCEPT;

/* Returns once everything fed or sent so far (to any input, through any cable) has been
   parsed and delivered, every callback that caused has returned, and every message the
   engine had queued for its outputs by then has been sent. Messages that those
   callbacks sent on through a cable count as sent later: call it again to follow a second
   hop. Returns at once when called on the input thread (from an input callback). */
CVX_API void vmidiSettle(void) CVX_NOEXCEPT;

/* Hot-plug: adds a cable (one input and one output device, named `name`) after the
   existing virtual devices, or removes the first cable of that name. Both return once the
   device lists have been re-read and the device-change callback (cvx_devices.h) has
   returned. Open handles of a removed cable become dead: calls on them fail with
   MMSYSERR_NODRIVER and no callback runs for them again. Return 1, or 0 when there is no
   virtual backend, the name is empty or too long (over 255 bytes), or (remove) not found. */
CVX_API int vmidiAddCable(const char* name) CVX_NOEXCEPT;
CVX_API int vmidiRemoveCable(const char* name) CVX_NOEXCEPT;

/* The next open of that device (an index, or MIDI_MAPPER with isOutput set) fails with
   errorCode; later opens succeed again. errorCode 0 cancels a pending failure. */
CVX_API void vmidiFailOpen(unsigned device, int isOutput, unsigned errorCode) CVX_NOEXCEPT;

/* Manual clock: while on, timeGetTime and GetTickCount (and so input time stamps) only
   move when cvxClockAdvance is called, and the timer thread runs nothing. Advancing steps
   the clock to each due time in turn and runs the timer callbacks due there, in due order,
   on the calling thread, before it returns; timeGetTime inside a callback reads that
   callback's due time. Switching the manual clock off continues from its value. */
CVX_API void cvxClockManual(int on) CVX_NOEXCEPT;
CVX_API void cvxClockAdvance(uint32_t ms) CVX_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif
