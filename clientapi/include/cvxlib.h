/* The client API: the functions applications call to use the MIDI engine. Almost all of them
   pass their arguments unchanged to the engine; results narrower than the engine's keep its
   low bits. Operations return 1 for success and 0 for failure, or a platform MIDI result
   unchanged. A client handle is an opaque unsigned 64-bit value, 0 meaning none.

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

CVXLIB_API int InitCallBack(void);     /* returns 1 */
CVXLIB_API void FreeCallBack(void);    /* does nothing */
CVXLIB_API int GetUsing16BitDLL(void); /* returns 0 */

/* ---- Clients ----------------------------------------------------------------------------- */

CVXLIB_API uint64_t CreateClient(HWND mainWindow, HINSTANCE instance, CFilter* filter);
CVXLIB_API void DestroyClient(uint64_t client);
CVXLIB_API void StartTimeStamp(uint64_t client);
CVXLIB_API uint32_t GetTimeStamp(uint64_t client);
CVXLIB_API void BlockInput(uint64_t client, int on);

/* ---- Ports, routing and the patch map ---------------------------------------------------- */

CVXLIB_API uint16_t OpenMidiIn(HMIDIIN* out, uint16_t device, uint64_t client);
CVXLIB_API uint16_t OpenMidiOut(HMIDIOUT* out, uint16_t device, int mapper, CPortMap* map,
                                uint64_t client);
CVXLIB_API int CloseMidiIn(HMIDIIN input, uint64_t client);
CVXLIB_API int CloseMidiOut(HMIDIOUT output, uint64_t client);
CVXLIB_API uint16_t StartMidiIn(HMIDIIN input);
CVXLIB_API void UpdatePortMap(uint64_t client, uint16_t output, CPortMap* map);
CVXLIB_API void SendPMInfo(uint64_t client, PatchMapInfo* info);
CVXLIB_API int SendRunStatus(uint64_t client, int on);

/* ---- Events ------------------------------------------------------------------------------ */

CVXLIB_API uint16_t GetEvent(uint64_t client, EVENT* out, MonID id);
CVXLIB_API void corvexEvent(uint64_t client, uint16_t status, uint16_t channel, uint16_t data1,
                            uint16_t data2, int type);
CVXLIB_API void corvexEventDirect(uint64_t client, int output, uint16_t status, uint16_t data1,
                                  uint16_t data2, int type);
CVXLIB_API void CorvexMapEvent(uint64_t client, uint32_t input, uint16_t status, uint16_t data1,
                               uint16_t data2);

/* ---- Filter and data maps ---------------------------------------------------------------- */

CVXLIB_API void SendFilter(uint64_t client, CFilter* filter);
CVXLIB_API int SendMap(uint64_t client, const SMapper& map);
CVXLIB_API int SendPDMap(uint64_t client, int input, int output, const SMapper& map);
CVXLIB_API void ClearPDMap(uint64_t client, int input, int output);
CVXLIB_API int SendParms(uint64_t client, uint32_t first, uint32_t sysexSpacingMs);

/* ---- SysEx ------------------------------------------------------------------------------- */

CVXLIB_API int AllocSyxBufIn(HMIDIIN input, uint64_t client, uint16_t size);
CVXLIB_API int AllocSyxBufOut(HMIDIOUT output, uint64_t client, uint16_t size);
CVXLIB_API void FreeSyxBufIn(HMIDIIN input, uint64_t client);
CVXLIB_API void FreeSyxBufOut(HMIDIOUT output, uint64_t client);
CVXLIB_API uint16_t SendSysEx(uint64_t client, char* bytes, uint16_t length);
/* header: the buffer header that WM_CVX_SYSEXDATA carried in lParam. */
CVXLIB_API uint16_t RetBuf(HMIDIIN input, uint64_t header);
CVXLIB_API uint32_t GetSysExData(uint64_t client, uint8_t* buffer, uint32_t length);
CVXLIB_API uint16_t GetSysExString(uint64_t client, uint16_t slot, uint8_t* buffer, uint16_t size);
CVXLIB_API int GetRawSxBuf(uint64_t client, MonID id, uint16_t slot, uint8_t* buffer,
                           uint16_t size);
CVXLIB_API int DivertSysExStart(uint64_t client, HWND window);
CVXLIB_API void DivertSysExStop(uint64_t client);
CVXLIB_API int DivertSysExSet(uint64_t client, uint16_t first, uint16_t second);

/* ---- Consumers and diverts --------------------------------------------------------------- */

CVXLIB_API int AttachRawMonitor(uint64_t client, HWND window);
CVXLIB_API int DetachRawMonitor(uint64_t client);
CVXLIB_API int AttachLua(uint64_t client, HWND window, int divert);
CVXLIB_API int DetachLua(uint64_t client);
CVXLIB_API int InitCvxScript(uint64_t client, HWND window);
CVXLIB_API int TermCvxScript(uint64_t client);
CVXLIB_API int DivertCvxScriptInput(uint64_t client, int on, int flush);
CVXLIB_API int IsCvxScriptInputDiverted(uint64_t client);
CVXLIB_API int InitCvxDock(uint64_t client, uint32_t id, HWND window);
CVXLIB_API int TermCvxDock(uint64_t client, uint32_t id);
CVXLIB_API int DivertCvxDockInput(uint64_t client, int on, int flush);
CVXLIB_API int IsCvxDockInputDiverted(uint64_t client);
CVXLIB_API void CvxDockMidiInput(HWND window); /* does nothing */
CVXLIB_API uint16_t GetNumAttach(uint64_t client);

/* ---- Time code and clock ----------------------------------------------------------------- */

CVXLIB_API int AttachMTC(uint64_t client, HWND window);
CVXLIB_API int DetachMTC(uint64_t client);
CVXLIB_API int ConfigMTC(uint64_t client, uint16_t rate, uint16_t period, uint32_t start);
CVXLIB_API int GenMTCStart(uint64_t client);
CVXLIB_API int GenMTCStop(uint64_t client, int reset);
CVXLIB_API int AttachSync(uint64_t client, HWND window);
CVXLIB_API int DetachSync(uint64_t client);
CVXLIB_API int ConfigSync(uint64_t client, uint16_t period, uint16_t tempo, uint16_t timebase);
CVXLIB_API int StartClock(uint64_t client);
CVXLIB_API int StopClock(uint64_t client);
CVXLIB_API int SyncCmd(uint64_t client, uint16_t command, uint16_t value);

/* ---- Status and counts ------------------------------------------------------------------- */

CVXLIB_API void GetPortStatus(uint64_t client, CPortStatus* status);
CVXLIB_API uint32_t GetCurrentStatus(uint64_t client, uint16_t output);
CVXLIB_API uint16_t InDevOpenCount(uint64_t client);
CVXLIB_API uint16_t OutDevOpenCount(uint64_t client);
CVXLIB_API int IsInDevOpen(uint64_t client, uint16_t input);
CVXLIB_API int IsOutDevOpen(uint64_t client, uint16_t output);
CVXLIB_API int GetPortCounters(uint64_t client, CPortCounters* counters) noexcept;

/* ---- Script host ------------------------------------------------------------------------- */

/* Loads libcvxlua.so (searched the usual way) and looks up its entry points; 0 when the
   library is missing, 1 only when all three entry points were found. The library stays
   loaded for the life of the process. */
CVXLIB_API int InitRexxDll(void);
CVXLIB_API void RunRexxRoutine(HWND window, uint64_t argument); /* the host's RunRexxProgram */
CVXLIB_API void RexxTerminate(void);                            /* the host's RexxRemoteShutdown */
CVXLIB_API void CVXLUAMidiInput(HWND window);                   /* the host's VUVMidiInput */

} /* extern "C" */

#endif
