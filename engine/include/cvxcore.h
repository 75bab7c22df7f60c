/* The engine's exports, as a client library reaches them by ordinal (cvxCoreOrdinal) and as
   a program may call them by name. A client handle is an opaque unsigned 64-bit value, 0
   meaning none; an unknown handle makes every call fail or do nothing. Operations return 1
   for success and 0 for failure, or a platform MIDI result (MMSYSERR_*) unchanged. No
   export lets an exception out.

   Threads: every export is called from the application's thread (the one that runs its
   message loop), one call at a time, unless its comment says otherwise. None may be called
   from a message target's post function, which runs on the engine's real-time threads. The
   engine reports back only by posting to the targets it was given (WM_CVX_*). */
#ifndef CVXCORE_H
#define CVXCORE_H

#include "cvx_platform.h"
#include "cvx_records.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Clients, queues and consumers ----------------------------------------------------- */

/* Makes a client: its main queue, SysEx display ring, buffer queues, 64 KB map arena and
   port tables, with `filter` copied in (null: nothing filtered) and `mainWindow` as the
   target of WM_CVX_EVENTS, WM_CVX_SYSEXDATA and WM_CVX_PATCH_CHANGE. `instance` is kept
   only. Also makes sure the engine folder exists. Returns the handle, 0 when memory or a
   client slot ran out. */
CVX_API uint64_t m32CreateClient(HWND mainWindow, HINSTANCE instance, CFilter* filter) CVX_NOEXCEPT;
/* Stops the client's timers, detaches its consumers and frees everything it owns; the
   handle is invalid afterwards. Close the ports and stop the generators first. 0 is
   ignored. */
CVX_API void m32DestroyClient(uint64_t client) CVX_NOEXCEPT;

/* Takes the oldest event of queue `id` (MON_*) into `out` and returns 1; returns 0 with
   the first 12 bytes of `out` zeroed when the queue is empty. Events come through a
   process-wide read cache per MonID: call it from ONE thread only, in a loop until it
   returns 0, in answer to WM_CVX_EVENTS (or the consumer's own notice). */
CVX_API uint16_t m32GetEvent(uint64_t client, EVENT* out, MonID id) CVX_NOEXCEPT;
/* Copies 18-byte slot `slot` of the SysEx display ring (the slot a chunk event's timestamp
   names) into `buffer` and returns its first byte; 0 when `size` is below 18. Same thread
   as m32GetEvent. */
CVX_API uint16_t m32GetSysExString(uint64_t client, uint16_t slot, uint8_t* buffer,
                                   uint16_t size) CVX_NOEXCEPT;
/* Copies 256-byte slot `slot` of the Dock (MON_DOCK) or script (MON_SCRIPT) ring into
   `buffer` and returns 1; 0 for any other id, a detached consumer or `size` below 256. */
CVX_API int m32GetRawSxBuf(uint64_t client, MonID id, uint16_t slot, uint8_t* buffer,
                           uint16_t size) CVX_NOEXCEPT;

/* Attaches `window` as the raw input monitor: from now on every input event, as received,
   goes to the MON_RAW_INPUT queue and the window gets WM_CVX_EVENTS (at most every 20 ms).
   Returns 1; 0 for a null window, one already attached, or no memory for the queue. */
CVX_API int m32AttachRawMonitor(uint64_t client, HWND window) CVX_NOEXCEPT;
/* Detaches the raw monitor and discards its queue. Returns 1; 0 when none was attached. */
CVX_API int m32DetachRawMonitor(uint64_t client) CVX_NOEXCEPT;
/* Attaches the Lua host's window (MON_LUA queue, WM_CVX_SCRIPTINPUT notices) and sets the
   Lua divert to `divert`: while it is set, input short messages go to the Lua queue instead
   of being processed. Returns 1; 0 as m32AttachRawMonitor. */
CVX_API int m32AttachLua(uint64_t client, HWND window, int divert) CVX_NOEXCEPT;
/* Clears the Lua divert, detaches the window and discards its queue. Returns 1; 0 when
   none was attached. */
CVX_API int m32DetachLua(uint64_t client) CVX_NOEXCEPT;
/* Attaches the script host's window (MON_SCRIPT queue and 256-byte ring,
   WM_CVX_AUTOMATION_DATA notices) and counts the attachment. Returns 1; 0 for a null
   window, one already attached, or no memory. */
CVX_API int m32AttachCvxScript(uint64_t client, HWND window) CVX_NOEXCEPT;
/* Clears the script divert and detaches the script window. Returns 1; 0 when none was
   attached. */
CVX_API int m32DetachCvxScript(uint64_t client) CVX_NOEXCEPT;
/* Attaches the Dock window under identifier `id` (MON_DOCK queue and 256-byte ring,
   WM_CVX_DOCK_DATA notices). Returns 1; 0 when `id` is 0, an identifier or window is
   already attached, the window is null or memory ran out. */
CVX_API int m32AttachDock(uint64_t client, uint32_t id, HWND window) CVX_NOEXCEPT;
/* Detaches the Dock (its divert switched off with four wake-up events first). `id` 0
   always detaches; another `id` must be the attached one. Returns 1; 0 when `id` differs
   or nothing was attached. */
CVX_API int m32DetachDock(uint64_t client, uint32_t id) CVX_NOEXCEPT;
/* Switches the script divert (input after filter and map goes to the script queue instead
   of the outputs); with `flush` and a script attached, four wake-up events are queued
   first. Returns the previous setting. */
CVX_API int m32DivertCvxScript(uint64_t client, int on, int flush) CVX_NOEXCEPT;
/* Switches the Dock divert (SysEx input goes to the Dock only); with `flush` and a Dock
   attached, four wake-up events are queued after. Returns the previous setting. */
CVX_API int m32DivertDock(uint64_t client, int on, int flush) CVX_NOEXCEPT;
/* The script divert setting; 0 for an unknown client. */
CVX_API int m32IsCvxScriptDiverting(uint64_t client) CVX_NOEXCEPT;
/* The Dock divert setting; 0 for an unknown client. */
CVX_API int m32IsDockDiverting(uint64_t client) CVX_NOEXCEPT;
/* The number of attached script and Dock consumers. */
CVX_API uint16_t m32GetNumAttach(uint64_t client) CVX_NOEXCEPT;
/* Makes `window` the target of received time code (WM_CVX_MTC_TIME) unless one is
   attached, resetting the received time to 00:00:00:00. Returns 1 (0: unknown client). */
CVX_API int m32AttachMTC(uint64_t client, HWND window) CVX_NOEXCEPT;
/* Detaches the time-code window and resets the received time. Returns 1. */
CVX_API int m32DetachMTC(uint64_t client) CVX_NOEXCEPT;
/* Makes `window` the target of received tempo and song position (WM_CVX_TEMPO,
   WM_CVX_SONG_POSITION) unless one is attached. Returns 1 (0: unknown client). */
CVX_API int m32AttachSync(uint64_t client, HWND window) CVX_NOEXCEPT;
/* Detaches the sync window. Returns 1. */
CVX_API int m32DetachSync(uint64_t client) CVX_NOEXCEPT;

/* Starts a SysEx capture: input SysEx buffers are kept for m32GetSysExData and `window`
   gets WM_CVX_SYSEX_CAPTURED (lParam: the bytes in the buffer) for each. Returns 1. */
CVX_API int m32DivertSysExStart(uint64_t client, HWND window) CVX_NOEXCEPT;
/* Ends the capture; captured buffers not yet read stay for m32GetSysExData. */
CVX_API void m32DivertSysExStop(uint64_t client) CVX_NOEXCEPT;
/* Stores two capture values (the engine does not use them). Returns 1; 0 during a
   capture, when nothing is stored. */
CVX_API int m32DivertSysExSet(uint64_t client, uint16_t first, uint16_t second) CVX_NOEXCEPT;

/* Sets the input blocker to `on` (as a 16-bit signed value): while it is set, all input is
   ignored. Returns the value set. */
CVX_API int m32InputBlocker(uint64_t client, int on) CVX_NOEXCEPT;
/* Records timeGetTime as the time base of engine-made time stamps. */
CVX_API void m32StartTimeStamp(uint64_t client) CVX_NOEXCEPT;
/* Milliseconds since m32StartTimeStamp (wrapping at 32 bits); 0 for an unknown client. */
CVX_API uint32_t m32GetTimeStamp(uint64_t client) CVX_NOEXCEPT;

/* ---- Filter and data maps -------------------------------------------------------------- */

/* Copies the 24-byte filter into the client; null is ignored. Takes effect with the next
   message. */
CVX_API void m32SendFilter(uint64_t client, CFilter* filter) CVX_NOEXCEPT;
/* Replaces the global data map with a copy of `map` (items into the client's arena; the
   SysEx pool copied when it holds more than 4 bytes). Returns 1; when the arena cannot
   hold the items the map matches nothing. */
CVX_API int m32SendMap(uint64_t client, const SMapper& map) CVX_NOEXCEPT;
/* Gives the route from input `input` to output `output` its own data map (a copy).
   Returns 1; 0 for indices outside 0-135 or when the arena is exhausted. */
CVX_API int m32SendPDMap(uint64_t client, int input, int output, const SMapper& map) CVX_NOEXCEPT;
/* Removes the route's own data map. */
CVX_API void m32ClearPDMap(uint64_t client, int input, int output) CVX_NOEXCEPT;
/* Stores two values: `sysexSpacingMs` spaces successive SysEx output buffers; `first` has
   no effect in the engine. Returns 1. */
CVX_API int m32SendParms(uint64_t client, uint32_t first, uint32_t sysexSpacingMs) CVX_NOEXCEPT;

/* ---- Time code and clock --------------------------------------------------------------- */

/* Configures the MTC generator. rate: 0 = 24 fps, 1 = 25, 2 = 30 drop-frame, 4 = 29.97,
   else 30. period: timer period in ms when above 0 (as signed 16-bit) and the generator is
   stopped. start: hours << 24 | minutes << 16 | seconds << 8 | frames, clamped to range;
   becomes the current and the start time. Returns 1. */
CVX_API int m32ConfigMTC(uint64_t client, uint16_t rate, uint16_t period,
                         uint32_t start) CVX_NOEXCEPT;
/* Starts sending quarter-frame time code from the generated-event port on a periodic
   timer. Returns 1; 0 when it is already running or no timer could be had. */
CVX_API int m32GenMTCStart(uint64_t client) CVX_NOEXCEPT;
/* Stops the generator; `reset` non-zero returns the time to the start time. Returns 1
   when it was running or was reset, else 0. */
CVX_API int m32GenMTCStop(uint64_t client, int reset) CVX_NOEXCEPT;
/* Configures the MIDI clock. tempo in BPM × 100; timebase in ticks per quarter note, at
   least 24 and a multiple of 24 (else 0 is returned and nothing changes); period: timer
   period in ms when not 0 and the clock is stopped. Returns 1. */
CVX_API int m32ConfigSync(uint64_t client, uint16_t period, uint16_t tempo,
                          uint16_t timebase) CVX_NOEXCEPT;
/* Starts sending F8 clocks from the generated-event port. Returns 1; 0 when it is
   already running or no timer could be had. */
CVX_API int m32StartClock(uint64_t client) CVX_NOEXCEPT;
/* Stops the clock. Returns 1 when it was running, else 0. */
CVX_API int m32StopClock(uint64_t client) CVX_NOEXCEPT;
/* Sends a transport command from the generated-event port. command: 1 Start, 2 Continue,
   3 Stop, 4 Song Position (value in MIDI beats); others send nothing. Returns 1. */
CVX_API int m32SyncCmd(uint64_t client, uint16_t command, uint16_t value) CVX_NOEXCEPT;

/* ---- Ports, routing and the patch map --------------------------------------------------- */

/* Opens input device `device` (0-134) for the client into *out. It delivers only after
   m32StartMidiIn. Returns MMSYSERR_NOERROR, MMSYSERR_BADDEVICEID (index 135 or above, null
   `out`, unknown client), MMSYSERR_ALLOCATED (already open for this client) or the
   platform's open error. */
CVX_API uint16_t vx16OpenMidiIn(HMIDIIN* out, uint16_t device, uint64_t client) CVX_NOEXCEPT;
/* Opens output device `device` (0-135), or the platform mapper in that slot when `mapper`
   is non-zero, into *out, with a copy of `map` as its routing (null: nothing routed).
   Returns MMSYSERR_NOERROR, MMSYSERR_BADDEVICEID, MMSYSERR_ALLOCATED or the platform's open
   error. */
CVX_API uint16_t vx16OpenMidiOut(HMIDIOUT* out, uint16_t device, int mapper, CPortMap* map,
                                 uint64_t client) CVX_NOEXCEPT;
/* The same as vx16OpenMidiIn / vx16OpenMidiOut. */
CVX_API uint16_t m32OpenMidiIn(HMIDIIN* out, uint16_t device, uint64_t client) CVX_NOEXCEPT;
CVX_API uint16_t m32OpenMidiOut(HMIDIOUT* out, uint16_t device, int mapper, CPortMap* map,
                                uint64_t client) CVX_NOEXCEPT;
/* Stops, resets and closes the input and frees its SysEx buffers (those lent to the
   application are freed when given back). Returns 1; 0 for a null handle or client. */
CVX_API int m32CloseMidiIn(HMIDIIN input, uint64_t client) CVX_NOEXCEPT;
/* Drops the output's delayed events and SysEx buffers, resets and closes it. Returns 1; 0
   for a null handle or client or a handle that is not one of the client's outputs. */
CVX_API int m32CloseMidiOut(HMIDIOUT output, uint64_t client) CVX_NOEXCEPT;
/* Starts the input's delivery: the midiInStart result. */
CVX_API uint16_t m32StartMidiIn(HMIDIIN input) CVX_NOEXCEPT;
/* Replaces the routing of output index `output` with a copy of `map`; input keeps flowing
   and ends unblocked. Nothing for a null map or an index above 135. */
CVX_API void m32UpdPortMap(uint64_t client, uint16_t output, CPortMap* map) CVX_NOEXCEPT;
/* Copies the patch-map summary; it applies from the next program change. */
CVX_API void m32SendPMInfo(uint64_t client, PatchMapInfo* info) CVX_NOEXCEPT;

/* ---- SysEx buffers and SysEx output ---------------------------------------------------- */

/* Gives the input one more SysEx buffer of `size` bytes. Returns 1; 0 for a null handle or
   size, an unknown client, or when the buffer could not be made or prepared. */
CVX_API int m32AllocSyxBufIn(HMIDIIN input, uint64_t client, uint16_t size) CVX_NOEXCEPT;
/* Stops and resets the input, frees all its SysEx buffers and starts it again. */
CVX_API void m32FreeSyxBufIn(HMIDIIN input, uint64_t client) CVX_NOEXCEPT;
/* Gives back a buffer lent with WM_CVX_SYSEXDATA; `header` is the lParam it carried.
   Returns the midiInAddBuffer result;
   MMSYSERR_INVALHANDLE when the input is not open (the buffer of a closed input is freed),
   MMSYSERR_INVALPARAM when the buffer is not the input's. */
CVX_API uint16_t m32RetBuf(HMIDIIN input, uint64_t header) CVX_NOEXCEPT;
/* Copies up to `length` captured SysEx bytes (m32DivertSysExStart) in arrival order into
   `buffer`, giving each fully read buffer back to its input. Returns the number copied. */
CVX_API uint32_t m32GetSysExData(uint64_t client, uint8_t* buffer, uint32_t length) CVX_NOEXCEPT;
/* Gives the output one more SysEx buffer of `size` bytes (and sets the client's output
   buffer size). Returns 1; 0 for a handle that is not one of the client's open outputs, a
   size of 0, or when the buffer could not be made or prepared. */
CVX_API int m32AllocSyxBufOut(HMIDIOUT output, uint64_t client, uint16_t size) CVX_NOEXCEPT;
/* Resets the output and frees all its SysEx buffers. */
CVX_API void m32FreeSyxBufOut(HMIDIOUT output, uint64_t client) CVX_NOEXCEPT;
/* Sends a SysEx block from the generated-event port to every output routed for it, cut
   into the outputs' buffers and paced by the m32SendParms spacing. Returns
   MMSYSERR_NOERROR, MMSYSERR_INVALHANDLE when no output is open, MMSYSERR_NOMEM when an
   output had no free buffer, MMSYSERR_INVALPARAM for no bytes. */
CVX_API uint16_t m32SendSysEx(uint64_t client, char* bytes, uint16_t length) CVX_NOEXCEPT;

/* ---- Injection and output ---------------------------------------------------------------- */

/* Injects a short message from the generated-event port (input 135): status | channel,
   data1, data2, marked by `type` (0 panel, 1 PC keyboard, 2 Lua, 3 automation). It is
   filtered, mapped and routed like input. */
CVX_API void m32corvexEvent(uint64_t client, uint16_t status, uint16_t channel, uint16_t data1,
                            uint16_t data2, int type) CVX_NOEXCEPT;
/* Sends a short message at once to output index `output` (-1: every output) where the
   generated-event port is routed, bypassing filter, map and delays. */
CVX_API void m32corvexEventDirect(uint64_t client, int output, uint16_t status, uint16_t data1,
                                  uint16_t data2, int type) CVX_NOEXCEPT;
/* Runs a message through the global data map as if from input `input` and sends the
   results through the generated-event port's routing. */
CVX_API void m32CorvexMapEvent(uint64_t client, uint32_t input, uint16_t status, uint16_t data1,
                               uint16_t data2) CVX_NOEXCEPT;
/* Injects a short message as if from input `port` (255 when outside 0-135), marked as Lua's,
   through the global map and routing. Called by the application's Lua engine directly; the
   client library has no counterpart. */
CVX_API void CorvexLuaEvent(uint64_t client, int port, uint32_t status, uint32_t data1,
                            uint32_t data2) CVX_NOEXCEPT;
/* Switches running-status output. Returns the previous setting. */
CVX_API int m32SendRunStatus(uint64_t client, int on) CVX_NOEXCEPT;

/* ---- Status and counts ------------------------------------------------------------------ */

/* Copies time, status bits, device index and source of outputs 0 to min(outputs + 1, 136) - 1
   and time and status class of inputs 0 to min(inputs, 135) - 1 and of input 135, clearing
   each status word as it is read; other entries keep what the caller had in them. */
CVX_API void m32GetPortStatus(uint64_t client, CPortStatus* status) CVX_NOEXCEPT;
/* The output's last channel status byte, | the running-status-output flag << 16; 0 for an
   index above 135. */
CVX_API uint32_t m32GetCurrentStatus(uint64_t client, uint16_t output) CVX_NOEXCEPT;
/* The number of open inputs. */
CVX_API uint16_t m32InDevOpenCount(uint64_t client) CVX_NOEXCEPT;
/* The number of open outputs. */
CVX_API uint16_t m32OutDevOpenCount(uint64_t client) CVX_NOEXCEPT;
/* 1 when input `input` is open; 0 otherwise and for an index above 135. */
CVX_API int m32IsInDevOpen(uint64_t client, uint16_t input) CVX_NOEXCEPT;
/* 1 when output record `output` holds that device index and a handle. */
CVX_API int m32IsOutDevOpen(uint64_t client, uint16_t output) CVX_NOEXCEPT;
/* Fills `counters` with what was lost per port and per queue (CPortCounters, cvx_records.h),
   as far as counters->cbStruct allows, and sets cbStruct to the bytes filled. Reading
   clears nothing. Any thread, while the client exists. Returns 1; 0 for an unknown
   client, a null record or a cbStruct below CVX_PORT_COUNTERS_MIN_SIZE. */
CVX_API int m32GetPortCounters(uint64_t client, CPortCounters* counters) CVX_NOEXCEPT;

/* ---- Export ordinals --------------------------------------------------------------------- */

/* The engine's process attach/detach entry, ordinal 6: returns 1 for every reason. */
CVX_API BOOL DllMain(HINSTANCE module, DWORD reason, void* reserved) CVX_NOEXCEPT;

/* The engine's exports by ordinal, as a client library imports them. */
typedef void (*CvxExportProc)(void);
#define CVX_ORDINAL_FIRST 1u
#define CVX_ORDINAL_LAST 69u
/* The export with that ordinal, or null outside CVX_ORDINAL_FIRST-CVX_ORDINAL_LAST. Ordinals 3
   and 4 are the same functions as 66 and 67. Any thread, also before static construction. */
CVX_API CvxExportProc cvxCoreOrdinal(unsigned ordinal) CVX_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif
