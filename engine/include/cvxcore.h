/* The engine's exports. A client handle is an opaque unsigned 64-bit value, 0 meaning none.
   Operations return 1 for success and 0 for failure, or a platform MIDI result unchanged. */
#ifndef CVXCORE_H
#define CVXCORE_H

#include "cvx_platform.h"
#include "cvx_records.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Clients, queues and consumers ----------------------------------------------------- */

CVX_API uint64_t m32CreateClient(HWND mainWindow, HINSTANCE instance, CFilter* filter);
CVX_API void m32DestroyClient(uint64_t client);

CVX_API uint16_t m32GetEvent(uint64_t client, EVENT* out, MonID id);
CVX_API uint16_t m32GetSysExString(uint64_t client, uint16_t slot, uint8_t* buffer, uint16_t size);
CVX_API int m32GetRawSxBuf(uint64_t client, MonID id, uint16_t slot, uint8_t* buffer,
                           uint16_t size);

CVX_API int m32AttachRawMonitor(uint64_t client, HWND window);
CVX_API int m32DetachRawMonitor(uint64_t client);
CVX_API int m32AttachLua(uint64_t client, HWND window, int divert);
CVX_API int m32DetachLua(uint64_t client);
CVX_API int m32AttachCvxScript(uint64_t client, HWND window);
CVX_API int m32DetachCvxScript(uint64_t client);
CVX_API int m32AttachDock(uint64_t client, uint32_t id, HWND window);
CVX_API int m32DetachDock(uint64_t client, uint32_t id);
CVX_API int m32DivertCvxScript(uint64_t client, int on, int flush);
CVX_API int m32DivertDock(uint64_t client, int on, int flush);
CVX_API int m32IsCvxScriptDiverting(uint64_t client);
CVX_API int m32IsDockDiverting(uint64_t client);
CVX_API uint16_t m32GetNumAttach(uint64_t client);
CVX_API int m32AttachMTC(uint64_t client, HWND window);
CVX_API int m32DetachMTC(uint64_t client);
CVX_API int m32AttachSync(uint64_t client, HWND window);
CVX_API int m32DetachSync(uint64_t client);

CVX_API int m32DivertSysExStart(uint64_t client, HWND window);
CVX_API void m32DivertSysExStop(uint64_t client);
CVX_API int m32DivertSysExSet(uint64_t client, uint16_t first, uint16_t second);

CVX_API int m32InputBlocker(uint64_t client, int on);
CVX_API void m32StartTimeStamp(uint64_t client);
CVX_API uint32_t m32GetTimeStamp(uint64_t client);

/* ---- Filter and data maps -------------------------------------------------------------- */

CVX_API void m32SendFilter(uint64_t client, CFilter* filter);
CVX_API int m32SendMap(uint64_t client, const SMapper& map);
CVX_API int m32SendPDMap(uint64_t client, int input, int output, const SMapper& map);
CVX_API void m32ClearPDMap(uint64_t client, int input, int output);
CVX_API int m32SendParms(uint64_t client, uint32_t first, uint32_t sysexSpacingMs);

/* ---- Time code and clock --------------------------------------------------------------- */

/* rate: 0 = 24 fps, 1 = 25, 2 = 30 drop-frame, 4 = 29.97, else 30. period: timer period in
   ms when above 0 (as signed 16-bit) and the generator is stopped. start: hours << 24 |
   minutes << 16 | seconds << 8 | frames, clamped to range; the current and the start time. */
CVX_API int m32ConfigMTC(uint64_t client, uint16_t rate, uint16_t period, uint32_t start);
CVX_API int m32GenMTCStart(uint64_t client);
/* reset non-zero: the time returns to the start time. */
CVX_API int m32GenMTCStop(uint64_t client, int reset);
/* tempo in BPM × 100; timebase in ticks per quarter note, at least 24 and a multiple of 24
   (else 0 is returned and nothing changes); period: timer period in ms when not 0 and the
   clock is stopped. */
CVX_API int m32ConfigSync(uint64_t client, uint16_t period, uint16_t tempo, uint16_t timebase);
CVX_API int m32StartClock(uint64_t client);
CVX_API int m32StopClock(uint64_t client);
/* command: 1 Start, 2 Continue, 3 Stop, 4 Song Position (value in MIDI beats). */
CVX_API int m32SyncCmd(uint64_t client, uint16_t command, uint16_t value);

/* ---- Ports, routing and the patch map --------------------------------------------------- */

CVX_API uint16_t vx16OpenMidiIn(HMIDIIN* out, uint16_t device, uint64_t client);
CVX_API uint16_t vx16OpenMidiOut(HMIDIOUT* out, uint16_t device, int mapper, CPortMap* map,
                                 uint64_t client);
CVX_API uint16_t m32OpenMidiIn(HMIDIIN* out, uint16_t device, uint64_t client);
CVX_API uint16_t m32OpenMidiOut(HMIDIOUT* out, uint16_t device, int mapper, CPortMap* map,
                                uint64_t client);
CVX_API int m32CloseMidiIn(HMIDIIN input, uint64_t client);
CVX_API int m32CloseMidiOut(HMIDIOUT output, uint64_t client);
CVX_API uint16_t m32StartMidiIn(HMIDIIN input);
CVX_API void m32UpdPortMap(uint64_t client, uint16_t output, CPortMap* map);
CVX_API void m32SendPMInfo(uint64_t client, PatchMapInfo* info);

/* ---- SysEx buffers and SysEx output ---------------------------------------------------- */

CVX_API int m32AllocSyxBufIn(HMIDIIN input, uint64_t client, uint16_t size);
CVX_API void m32FreeSyxBufIn(HMIDIIN input, uint64_t client);
/* The second argument is the buffer header that WM_CVX_SYSEXDATA carried in lParam. */
CVX_API uint16_t m32RetBuf(HMIDIIN input, uint64_t header);
CVX_API uint32_t m32GetSysExData(uint64_t client, uint8_t* buffer, uint32_t length);
CVX_API int m32AllocSyxBufOut(HMIDIOUT output, uint64_t client, uint16_t size);
CVX_API void m32FreeSyxBufOut(HMIDIOUT output, uint64_t client);
CVX_API uint16_t m32SendSysEx(uint64_t client, char* bytes, uint16_t length);

/* ---- Injection and output ---------------------------------------------------------------- */

CVX_API void m32corvexEvent(uint64_t client, uint16_t status, uint16_t channel, uint16_t data1,
                            uint16_t data2, int type);
CVX_API void m32corvexEventDirect(uint64_t client, int output, uint16_t status, uint16_t data1,
                                  uint16_t data2, int type);
CVX_API void m32CorvexMapEvent(uint64_t client, uint32_t input, uint16_t status, uint16_t data1,
                               uint16_t data2);
CVX_API void CorvexLuaEvent(uint64_t client, int port, uint32_t status, uint32_t data1,
                            uint32_t data2);
CVX_API int m32SendRunStatus(uint64_t client, int on);

/* ---- Status and counts ------------------------------------------------------------------ */

/* Copies time, status bits, device index and source of outputs 0 to min(outputs + 1, 136) - 1
   and time and status class of inputs 0 to min(inputs, 135) - 1 and of input 135, clearing
   each status word as it is read; other entries keep what the caller had in them. */
CVX_API void m32GetPortStatus(uint64_t client, CPortStatus* status);
/* The output's last channel status byte, | the running-status-output flag << 16. */
CVX_API uint32_t m32GetCurrentStatus(uint64_t client, uint16_t output);
CVX_API uint16_t m32InDevOpenCount(uint64_t client);
CVX_API uint16_t m32OutDevOpenCount(uint64_t client);
CVX_API int m32IsInDevOpen(uint64_t client, uint16_t input);
/* 1 when output record `output` holds that device index and a handle. */
CVX_API int m32IsOutDevOpen(uint64_t client, uint16_t output);
CVX_API int m32GetPortCounters(uint64_t client, CPortCounters* counters) CVX_NOEXCEPT;

/* ---- Export ordinals --------------------------------------------------------------------- */

/* The engine's process attach/detach entry, ordinal 6: returns 1 for every reason. */
CVX_API BOOL DllMain(HINSTANCE module, DWORD reason, void* reserved);

/* The engine's exports by ordinal, as a client library imports them. */
typedef void (*CvxExportProc)(void);
#define CVX_ORDINAL_FIRST 1u
#define CVX_ORDINAL_LAST 69u
/* The export with that ordinal, or null outside CVX_ORDINAL_FIRST-CVX_ORDINAL_LAST. Ordinals 3
   and 4 are the same functions as 66 and 67. */
CVX_API CvxExportProc cvxCoreOrdinal(unsigned ordinal) CVX_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif
