/* The client API: the functions applications call to use the MIDI engine. Almost all of them
   pass their arguments unchanged to the engine export named in their comment (cvxcore.h
   describes it in full); results narrower than the engine's keep its low bits. Operations
   return 1 for success and 0 for failure, or a platform MIDI result (MMSYSERR_*)
   unchanged. A client handle is an opaque unsigned 64-bit value, 0 meaning none. No
   function lets an exception out.

   Threads: call everything from the application's thread (the one running its message
   loop), one call at a time, unless a comment says otherwise; never from a message
   target's post function. GetEvent, GetSysExString and GetRawSxBuf belong to one thread.

   A C++ header (the map functions take references) with C linkage throughout. The
   script-host functions reach the optional host library libcvxlua.so, bound by
   InitRexxDll; before a successful InitRexxDll they do nothing. */
#ifndef CVXLIB_H
#define CVXLIB_H

#include "cvx_platform.h"
#include "cvx_records.h"

#include <stdint.h>

#define CVXLIB_API __attribute__((visibility("default")))

extern "C" {

/* ---- Start-up and shut-down -------------------------------------------------------------- */

CVXLIB_API int InitCallBack(void) CVX_NOEXCEPT;     /* returns 1 */
CVXLIB_API void FreeCallBack(void) CVX_NOEXCEPT;    /* does nothing */
CVXLIB_API int GetUsing16BitDLL(void) CVX_NOEXCEPT; /* returns 0 */

/* ---- Clients ----------------------------------------------------------------------------- */

/* m32CreateClient: makes the client; `mainWindow` gets WM_CVX_EVENTS, WM_CVX_SYSEXDATA and
   WM_CVX_PATCH_CHANGE. Returns the handle, 0 on failure. */
CVXLIB_API uint64_t CreateClient(HWND mainWindow, HINSTANCE instance, CFilter* filter) CVX_NOEXCEPT;
/* m32DestroyClient: frees the client (close its ports and stop generators first). */
CVXLIB_API void DestroyClient(uint64_t client) CVX_NOEXCEPT;
/* m32StartTimeStamp: now becomes time 0 of engine-made time stamps. */
CVXLIB_API void StartTimeStamp(uint64_t client) CVX_NOEXCEPT;
/* m32GetTimeStamp: milliseconds since StartTimeStamp. */
CVXLIB_API uint32_t GetTimeStamp(uint64_t client) CVX_NOEXCEPT;
/* m32InputBlocker: while `on` is set, all input is ignored. */
CVXLIB_API void BlockInput(uint64_t client, int on) CVX_NOEXCEPT;

/* ---- Ports, routing and the patch map ---------------------------------------------------- */

/* vx16OpenMidiIn: opens input `device` (0-134) into *out; it delivers after StartMidiIn.
   Returns MMSYSERR_NOERROR or the error. */
CVXLIB_API uint16_t OpenMidiIn(HMIDIIN* out, uint16_t device, uint64_t client) CVX_NOEXCEPT;
/* vx16OpenMidiOut: opens output `device` (or the mapper in that slot when `mapper` is
   non-zero) into *out with a copy of `map` as its routing. Returns MMSYSERR_NOERROR or the
   error. */
CVXLIB_API uint16_t OpenMidiOut(HMIDIOUT* out, uint16_t device, int mapper, CPortMap* map,
                                uint64_t client) CVX_NOEXCEPT;
/* m32CloseMidiIn: stops and closes the input, freeing its SysEx buffers. Returns 1, 0 for
   a null handle or client. */
CVXLIB_API int CloseMidiIn(HMIDIIN input, uint64_t client) CVX_NOEXCEPT;
/* m32CloseMidiOut: resets and closes the output, dropping its delayed events and SysEx
   buffers. Returns 1, 0 when the handle is not one of the client's outputs. */
CVXLIB_API int CloseMidiOut(HMIDIOUT output, uint64_t client) CVX_NOEXCEPT;
/* m32StartMidiIn: the midiInStart result. */
CVXLIB_API uint16_t StartMidiIn(HMIDIIN input) CVX_NOEXCEPT;
/* m32UpdPortMap: replaces the routing of output index `output` with a copy of `map`. */
CVXLIB_API void UpdatePortMap(uint64_t client, uint16_t output, CPortMap* map) CVX_NOEXCEPT;
/* m32SendPMInfo: copies the patch-map summary; it applies from the next program change. */
CVXLIB_API void SendPMInfo(uint64_t client, PatchMapInfo* info) CVX_NOEXCEPT;
/* m32SendRunStatus: switches running-status output; returns the previous setting. */
CVXLIB_API int SendRunStatus(uint64_t client, int on) CVX_NOEXCEPT;

/* ---- Events ------------------------------------------------------------------------------ */

/* m32GetEvent: takes the oldest event of queue `id` (MON_*) and returns 1, or 0 when it is
   empty. One thread only; call it until it returns 0. */
CVXLIB_API uint16_t GetEvent(uint64_t client, EVENT* out, MonID id) CVX_NOEXCEPT;
/* m32corvexEvent: injects a short message from the generated-event port (135); it is
   filtered, mapped and routed like input. */
CVXLIB_API void corvexEvent(uint64_t client, uint16_t status, uint16_t channel, uint16_t data1,
                            uint16_t data2, int type) CVX_NOEXCEPT;
/* m32corvexEventDirect: sends a short message at once to output `output` (-1: all) where
   the generated-event port is routed, bypassing filter, map and delays. */
CVXLIB_API void corvexEventDirect(uint64_t client, int output, uint16_t status, uint16_t data1,
                                  uint16_t data2, int type) CVX_NOEXCEPT;
/* m32CorvexMapEvent: runs a message through the global data map as if from input `input`
   and routes the results as the generated-event port's. */
CVXLIB_API void CorvexMapEvent(uint64_t client, uint32_t input, uint16_t status, uint16_t data1,
                               uint16_t data2) CVX_NOEXCEPT;

/* ---- Filter and data maps ---------------------------------------------------------------- */

/* m32SendFilter: copies the filter; a set bit filters its item out. */
CVXLIB_API void SendFilter(uint64_t client, CFilter* filter) CVX_NOEXCEPT;
/* m32SendMap: replaces the global data map with a copy. Returns 1. */
CVXLIB_API int SendMap(uint64_t client, const SMapper& map) CVX_NOEXCEPT;
/* m32SendPDMap: gives one route its own data map. Returns 1, 0 for bad indices or a full
   map arena. */
CVXLIB_API int SendPDMap(uint64_t client, int input, int output, const SMapper& map) CVX_NOEXCEPT;
/* m32ClearPDMap: removes the route's own data map. */
CVXLIB_API void ClearPDMap(uint64_t client, int input, int output) CVX_NOEXCEPT;
/* m32SendParms: `sysexSpacingMs` spaces SysEx output buffers; `first` has no effect.
   Returns 1. */
CVXLIB_API int SendParms(uint64_t client, uint32_t first, uint32_t sysexSpacingMs) CVX_NOEXCEPT;

/* ---- SysEx ------------------------------------------------------------------------------- */

/* m32AllocSyxBufIn: one more SysEx buffer of `size` bytes for the input. Returns 1 or 0. */
CVXLIB_API int AllocSyxBufIn(HMIDIIN input, uint64_t client, uint16_t size) CVX_NOEXCEPT;
/* m32AllocSyxBufOut: one more SysEx buffer of `size` bytes for the output. Returns 1 or 0. */
CVXLIB_API int AllocSyxBufOut(HMIDIOUT output, uint64_t client, uint16_t size) CVX_NOEXCEPT;
/* m32FreeSyxBufIn: frees all the input's SysEx buffers (the input is restarted). */
CVXLIB_API void FreeSyxBufIn(HMIDIIN input, uint64_t client) CVX_NOEXCEPT;
/* m32FreeSyxBufOut: resets the output and frees all its SysEx buffers. */
CVXLIB_API void FreeSyxBufOut(HMIDIOUT output, uint64_t client) CVX_NOEXCEPT;
/* m32SendSysEx: sends a SysEx block from the generated-event port. Returns
   MMSYSERR_NOERROR, MMSYSERR_INVALHANDLE (no output open) or MMSYSERR_NOMEM (an output had
   no free buffer). */
CVXLIB_API uint16_t SendSysEx(uint64_t client, char* bytes, uint16_t length) CVX_NOEXCEPT;
/* m32RetBuf: gives back the buffer of a WM_CVX_SYSEXDATA; `header` is the lParam it
   carried. Returns the midiInAddBuffer result or MMSYSERR_INVALHANDLE. */
CVXLIB_API uint16_t RetBuf(HMIDIIN input, uint64_t header) CVX_NOEXCEPT;
/* m32GetSysExData: copies up to `length` captured SysEx bytes; returns how many. */
CVXLIB_API uint32_t GetSysExData(uint64_t client, uint8_t* buffer, uint32_t length) CVX_NOEXCEPT;
/* m32GetSysExString: copies an 18-byte display slot; returns its first byte, 0 when `size`
   is below 18. GetEvent's thread. */
CVXLIB_API uint16_t GetSysExString(uint64_t client, uint16_t slot, uint8_t* buffer,
                                   uint16_t size) CVX_NOEXCEPT;
/* m32GetRawSxBuf: copies a 256-byte Dock or script slot; returns 1 or 0. GetEvent's
   thread. */
CVXLIB_API int GetRawSxBuf(uint64_t client, MonID id, uint16_t slot, uint8_t* buffer,
                           uint16_t size) CVX_NOEXCEPT;
/* m32DivertSysExStart: starts a SysEx capture for GetSysExData; `window` gets
   WM_CVX_SYSEX_CAPTURED. Returns 1. */
CVXLIB_API int DivertSysExStart(uint64_t client, HWND window) CVX_NOEXCEPT;
/* m32DivertSysExStop: ends the capture. */
CVXLIB_API void DivertSysExStop(uint64_t client) CVX_NOEXCEPT;
/* m32DivertSysExSet: stores two capture values. Returns 1, 0 during a capture. */
CVXLIB_API int DivertSysExSet(uint64_t client, uint16_t first, uint16_t second) CVX_NOEXCEPT;

/* ---- Consumers and diverts --------------------------------------------------------------- */

/* m32AttachRawMonitor: every input event as received goes to MON_RAW_INPUT for `window`.
   Returns 1, 0 when one is attached or the window is null. */
CVXLIB_API int AttachRawMonitor(uint64_t client, HWND window) CVX_NOEXCEPT;
/* m32DetachRawMonitor: returns 1, 0 when none was attached. */
CVXLIB_API int DetachRawMonitor(uint64_t client) CVX_NOEXCEPT;
/* m32AttachLua: the Lua queue (MON_LUA) for `window`, with the Lua divert set to `divert`.
   Returns 1 or 0. */
CVXLIB_API int AttachLua(uint64_t client, HWND window, int divert) CVX_NOEXCEPT;
/* m32DetachLua: returns 1, 0 when none was attached. */
CVXLIB_API int DetachLua(uint64_t client) CVX_NOEXCEPT;
/* m32AttachCvxScript: the script queue (MON_SCRIPT) and ring for `window`. Returns 1 or 0. */
CVXLIB_API int InitCvxScript(uint64_t client, HWND window) CVX_NOEXCEPT;
/* m32DetachCvxScript: returns 1, 0 when none was attached. */
CVXLIB_API int TermCvxScript(uint64_t client) CVX_NOEXCEPT;
/* m32DivertCvxScript: returns the previous divert setting. */
CVXLIB_API int DivertCvxScriptInput(uint64_t client, int on, int flush) CVX_NOEXCEPT;
/* m32IsCvxScriptDiverting: the script divert setting. */
CVXLIB_API int IsCvxScriptInputDiverted(uint64_t client) CVX_NOEXCEPT;
/* m32AttachDock: the Dock queue (MON_DOCK) and ring for `window` under `id`. Returns 1 or
   0. */
CVXLIB_API int InitCvxDock(uint64_t client, uint32_t id, HWND window) CVX_NOEXCEPT;
/* m32DetachDock: `id` 0 or the attached one. Returns 1 or 0. */
CVXLIB_API int TermCvxDock(uint64_t client, uint32_t id) CVX_NOEXCEPT;
/* m32DivertDock: returns the previous divert setting. */
CVXLIB_API int DivertCvxDockInput(uint64_t client, int on, int flush) CVX_NOEXCEPT;
/* m32IsDockDiverting: the Dock divert setting. */
CVXLIB_API int IsCvxDockInputDiverted(uint64_t client) CVX_NOEXCEPT;
CVXLIB_API void CvxDockMidiInput(HWND window) CVX_NOEXCEPT; /* does nothing */
/* m32GetNumAttach: the number of attached script and Dock consumers. */
CVXLIB_API uint16_t GetNumAttach(uint64_t client) CVX_NOEXCEPT;

/* ---- Time code and clock ----------------------------------------------------------------- */

/* m32AttachMTC / m32DetachMTC: the target of received time code. Return 1. */
CVXLIB_API int AttachMTC(uint64_t client, HWND window) CVX_NOEXCEPT;
CVXLIB_API int DetachMTC(uint64_t client) CVX_NOEXCEPT;
/* m32ConfigMTC: rate, timer period and start time of the generator. Returns 1. */
CVXLIB_API int ConfigMTC(uint64_t client, uint16_t rate, uint16_t period,
                         uint32_t start) CVX_NOEXCEPT;
/* m32GenMTCStart: returns 1, 0 when running already or no timer could be had. */
CVXLIB_API int GenMTCStart(uint64_t client) CVX_NOEXCEPT;
/* m32GenMTCStop: returns 1 when it was running or `reset` rewound it, else 0. */
CVXLIB_API int GenMTCStop(uint64_t client, int reset) CVX_NOEXCEPT;
/* m32AttachSync / m32DetachSync: the target of received tempo and song position. Return 1. */
CVXLIB_API int AttachSync(uint64_t client, HWND window) CVX_NOEXCEPT;
CVXLIB_API int DetachSync(uint64_t client) CVX_NOEXCEPT;
/* m32ConfigSync: timer period, tempo (BPM × 100) and timebase (a multiple of 24) of the
   clock. Returns 1, 0 for a bad timebase. */
CVXLIB_API int ConfigSync(uint64_t client, uint16_t period, uint16_t tempo,
                          uint16_t timebase) CVX_NOEXCEPT;
/* m32StartClock: returns 1, 0 when running already or no timer could be had. */
CVXLIB_API int StartClock(uint64_t client) CVX_NOEXCEPT;
/* m32StopClock: returns 1 when it was running, else 0. */
CVXLIB_API int StopClock(uint64_t client) CVX_NOEXCEPT;
/* m32SyncCmd: 1 Start, 2 Continue, 3 Stop, 4 Song Position (`value` in MIDI beats).
   Returns 1. */
CVXLIB_API int SyncCmd(uint64_t client, uint16_t command, uint16_t value) CVX_NOEXCEPT;

/* ---- Status and counts ------------------------------------------------------------------- */

/* m32GetPortStatus: per-port last activity, clearing the status words it reads. */
CVXLIB_API void GetPortStatus(uint64_t client, CPortStatus* status) CVX_NOEXCEPT;
/* m32GetCurrentStatus: the output's running-status byte | the running-status flag << 16. */
CVXLIB_API uint32_t GetCurrentStatus(uint64_t client, uint16_t output) CVX_NOEXCEPT;
/* m32InDevOpenCount / m32OutDevOpenCount: the number of open inputs / outputs. */
CVXLIB_API uint16_t InDevOpenCount(uint64_t client) CVX_NOEXCEPT;
CVXLIB_API uint16_t OutDevOpenCount(uint64_t client) CVX_NOEXCEPT;
/* m32IsInDevOpen / m32IsOutDevOpen: 1 when that input / output index is open. */
CVXLIB_API int IsInDevOpen(uint64_t client, uint16_t input) CVX_NOEXCEPT;
CVXLIB_API int IsOutDevOpen(uint64_t client, uint16_t output) CVX_NOEXCEPT;
/* m32GetPortCounters: what was lost per port and per queue (CPortCounters), filled as far
   as counters->cbStruct allows. Any thread while the client exists. Returns 1, 0 for an
   unknown client, a null record or a too small cbStruct. */
CVXLIB_API int GetPortCounters(uint64_t client, CPortCounters* counters) CVX_NOEXCEPT;

/* ---- Script host ------------------------------------------------------------------------- */

/* Loads libcvxlua.so (searched the usual way) and looks up its entry points; 0 when the
   library is missing, 1 only when all three entry points were found. The library stays
   loaded for the life of the process. */
CVXLIB_API int InitRexxDll(void) CVX_NOEXCEPT;
/* The host's RunRexxProgram, RexxRemoteShutdown and VUVMidiInput; nothing before a
   successful InitRexxDll. An exception the host lets out ends at the call. */
CVXLIB_API void RunRexxRoutine(HWND window, uint64_t argument) CVX_NOEXCEPT;
CVXLIB_API void RexxTerminate(void) CVX_NOEXCEPT;
CVXLIB_API void CVXLUAMidiInput(HWND window) CVX_NOEXCEPT;

} /* extern "C" */

#endif
